#pragma once
// Breaking texts into lines for a text terminal.
#include <string>
#include <vector>

namespace forms {

// Splits at line ends (CR LF, LF or CR; an empty line between paragraphs stays an empty line)
// and wraps each line at blanks to at most `width` characters; a word longer than the width
// is cut. A width below 1 counts as 1.
std::vector<std::string> WrapText(const std::string& text, int width);

}  // namespace forms
