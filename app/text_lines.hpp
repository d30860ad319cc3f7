#pragma once
// Reading a text file of the machine as lines.
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The lines of a text file; CR LF, LF and CR each end a line. A file that cannot be opened or
// read raises platform::Exception ("Cannot open file "C:\X\Prefs.JS"").
std::vector<std::string> LoadTextLines(std::string_view path);

// Splits text into lines as LoadTextLines does.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace app
