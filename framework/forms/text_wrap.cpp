#include "framework/forms/text_wrap.hpp"

#include <algorithm>

namespace forms {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      lines.back() += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    lines.emplace_back();
  }
  return lines;
}

void WrapLine(const std::string& line, std::size_t width, std::vector<std::string>& out) {
  std::size_t start = 0;
  while (line.size() - start > width) {
    std::size_t cut = line.rfind(' ', start + width);
    if (cut == std::string::npos || cut <= start) {
      out.push_back(line.substr(start, width));  // one word wider than the line
      start += width;
      continue;
    }
    out.push_back(line.substr(start, cut - start));
    start = cut + 1;
    while (start < line.size() && line[start] == ' ')
      ++start;
  }
  out.push_back(line.substr(start));
}

}  // namespace

std::vector<std::string> WrapText(const std::string& text, int width) {
  const auto columns = static_cast<std::size_t>(std::max(width, 1));
  std::vector<std::string> result;
  if (text.empty()) return result;
  for (const std::string& line : SplitLines(text))
    WrapLine(line, columns, result);
  return result;
}

}  // namespace forms
