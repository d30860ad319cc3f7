#pragma once
// Where an index file named by a caller lies: the name trimmed and upper-cased, given the
// default extension when it has none and the table's folder when it has no folder.
#include <string>
#include <string_view>

#include "tables/storage/dbf_fields.hpp"

namespace tables {

std::string XbIndexFilePath(XBO_dBaseFld& table, std::string_view name,
                            std::string_view defaultExtension);

}  // namespace tables
