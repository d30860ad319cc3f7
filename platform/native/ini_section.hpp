#pragma once
// One section of an INI file read the lenient way GetPrivateProfileSection reads it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The key=value pairs of the first section of that name (compared without regard to case),
// in file order, keys and values trimmed of blanks. Lines starting with ";" are comments, a
// line without "=" is a key with an empty value, nothing is an error.
std::vector<std::pair<std::string, std::string>> IniSectionEntries(std::string_view text,
                                                                   std::string_view section);

}  // namespace platform
