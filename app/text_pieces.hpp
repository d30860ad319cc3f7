#pragma once
// Page texts are built by appending pieces to a text control one by one; kParagraph
// ("\r\n\n") separates paragraphs.
#include <span>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kParagraph = "\r\n\n";

// The pieces joined: the text a page shows.
inline std::string JoinPieces(std::span<const std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces)
    text += piece;
  return text;
}

}  // namespace app
