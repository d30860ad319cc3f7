#pragma once
// Page texts are built by appending pieces to a text control one by one; kParagraph
// ("\r\n\n") separates paragraphs.
#include <string_view>

namespace app {

inline constexpr std::string_view kParagraph = "\r\n\n";

}  // namespace app
