#include "framework/db/field_def.hpp"

#include <algorithm>
#include <cctype>

#include "framework/db/database_error.hpp"
#include "framework/db/database_messages.hpp"

namespace db {

bool SameFieldName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

void TFieldDefs::Add(std::string name, FieldType type, int size, bool required) {
  if (Find(name)) throw EDatabaseError(messages::DuplicateField(name));
  defs_.push_back({std::move(name), type, size, required});
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const auto found = std::find_if(defs_.begin(), defs_.end(), [&](const TFieldDef& def) {
    return SameFieldName(def.name, name);
  });
  return found == defs_.end() ? nullptr : &*found;
}

}  // namespace db
