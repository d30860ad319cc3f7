#pragma once
// TFieldDef: the description of one column a dataset offers (name, type, size for strings,
// required); TFieldDefs: the ordered list a dataset fills when it opens. Field objects are
// created from it. Names are matched without regard to letter case.
//
//   FieldDefs().Add("UserName", db::FieldType::String, 10);
#include <string>
#include <string_view>
#include <vector>

#include "framework/db/field_value.hpp"

namespace db {

struct TFieldDef {
  std::string name;
  FieldType type = FieldType::String;
  int size = 0;  // characters of a string field
  bool required = false;
};

class TFieldDefs {
 public:
  // EDatabaseError "Duplicate field name 'X'" when the name is taken.
  void Add(std::string name, FieldType type, int size = 0, bool required = false);
  void Clear() { defs_.clear(); }
  const TFieldDef* Find(std::string_view name) const;
  const std::vector<TFieldDef>& Items() const { return defs_; }
  std::size_t Count() const { return defs_.size(); }

 private:
  std::vector<TFieldDef> defs_;
};

// Letter case ignored (names of fields and definitions).
bool SameFieldName(std::string_view a, std::string_view b);

}  // namespace db
