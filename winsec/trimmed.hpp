#pragma once
// Names typed into the components' properties count without their surrounding blanks.
#include <string>

namespace winsec {

inline std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace winsec
