#pragma once
// TIndexDef: one index a dataset can order by: its name, the fields of its key (names
// separated by ";", or the whole key expression when `expression` is set).
#include <string>

namespace db {

struct TIndexDef {
  std::string name;
  std::string fields;
  bool expression = false;
};

}  // namespace db
