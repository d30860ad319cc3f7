#pragma once
// The table layout given to create: the version byte and NAME,TYPE,LEN[,DEC] field definitions.
#include <cstdint>
#include <string_view>

#include "tables/storage/create_table.hpp"

namespace tools::xbtool {

// "0x03", "0x30", "0x83", "0x8B", "0xF5" (or their decimal values); UsageError otherwise.
std::uint8_t ParseVersion(std::string_view text);

// NAME,TYPE,LEN[,DEC]. LEN may be left out for the types of one fixed length in the version
// (D, L, M, G, B, I, Y, T). The engine checks the definition itself when it creates the table.
tables::XbFieldDef ParseFieldDefinition(std::string_view definition, std::uint8_t version);

}  // namespace tools::xbtool
