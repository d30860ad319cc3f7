#pragma once
// One record as export --json writes it: "_recno", "_deleted", then each field by its name.
#include <string>

#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/verb.hpp"

namespace tools::xbtool {

// The current record of table as one JSON object line.
std::string RecordJson(const VerbContext& context, tables::XBO_dBaseFld& table);

}  // namespace tools::xbtool
