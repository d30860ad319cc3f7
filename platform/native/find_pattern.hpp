#pragma once
// The wildcard rules of FindFirstFile for the last part of a search path.
#include <string_view>

namespace platform {

// Whether `name` matches `pattern` without regard to case: "*" matches any run of characters,
// "?" one character (or none at the end of the name or before a dot, as on Windows), "*.*"
// matches every name, and a pattern ending in "." matches only names without an extension
// ("*." lists the names that have none, "." and ".." included).
bool MatchesFindPattern(std::string_view pattern, std::string_view name);

// Whether the pattern holds a wildcard at all.
bool HasWildcards(std::string_view pattern);

}  // namespace platform
