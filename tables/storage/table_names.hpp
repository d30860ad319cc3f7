#pragma once
// File names of tables and their memo files.
#include <string>
#include <string_view>

#include "platform/code_pages.hpp"

namespace tables {

// A table name as the engine opens it: blanks trimmed, upper-cased with the machine's
// conversion, ".DBF" appended when it has no extension.
std::string XbTableFileName(platform::CodePages& casing, std::string_view name);

// The file name without directory and extension ("C:\DATA\KVUS.DAT" -> "KVUS").
std::string_view XbBaseName(std::string_view path);

// path with its extension replaced by (or, without one, extended with) "." + ext.
std::string XbWithExtension(std::string_view path, std::string_view ext);

}  // namespace tables
