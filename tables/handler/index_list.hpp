#pragma once
// The index file list a table opens: names separated by blanks, commas or semicolons (except
// inside double quotes, which are removed), each completed with the table's folder and ".NDX".
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_pages.hpp"

namespace tables {

// The names of list in order; separators at the end are dropped.
std::vector<std::string> XbIndexListNames(std::string_view list);

// name upper-cased, with tableFolder when it has no folder and ".NDX" when it has no
// extension.
std::string XbIndexFilePath(platform::CodePages& casing, std::string_view tableFolder,
                            std::string_view name);

}  // namespace tables
