#include "tables/index/exp_text_compare.hpp"

#include <string_view>

#include "platform/machine.hpp"

namespace tables {
namespace {

std::string_view WithoutTrailingBlanks(std::string_view text) {
  std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

unsigned char Folded(char c, bool fold) {
  auto byte = static_cast<unsigned char>(c);
  if (fold && byte >= 'a' && byte <= 'z') byte = static_cast<unsigned char>(byte - 'a' + 'A');
  return byte;
}

// Byte by byte as unsigned values, then by length; fold compares ASCII letters without case.
int CompareWhole(std::string_view left, std::string_view right, bool fold) {
  std::size_t common = left.size() < right.size() ? left.size() : right.size();
  for (std::size_t i = 0; i < common; ++i) {
    unsigned char l = Folded(left[i], fold), r = Folded(right[i], fold);
    if (l != r) return l < r ? -1 : 1;
  }
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

std::string_view AnsiUpper(platform::CodePages& casing, std::string_view text,
                           std::string& buffer) {
  buffer.assign(text.data(), text.size());
  casing.CharUpper(buffer.data(), buffer.size());
  return buffer;
}

}  // namespace

int CompareExpressionTexts(const TxbExpValue& left, const TxbExpValue& right,
                           const TxbTextCompareRules& rules, TxbTextCompareBuffers& buffers) {
  bool leftEmpty = left.IsEmptyText(), rightEmpty = right.IsEmptyText();
  if (leftEmpty || rightEmpty) return leftEmpty == rightEmpty ? 0 : (leftEmpty ? -1 : 1);
  std::string_view l = WithoutTrailingBlanks(left.text());
  std::string_view r = WithoutTrailingBlanks(right.text());
  char wildcard = rules.wildcard;
  if (!rules.partialCompare || r.empty() || (r.front() != wildcard && r.back() != wildcard)) {
    return CompareWhole(l, r, rules.caseInsensitive);
  }
  if (r.size() == 1) return 0;  // the wildcard alone matches everything
  if (rules.caseInsensitive) {
    l = AnsiUpper(*rules.casing, l, buffers.left);
    r = AnsiUpper(*rules.casing, r, buffers.right);
  }
  bool leading = r.front() == wildcard;
  if (leading) r.remove_prefix(1);
  bool trailing = !r.empty() && r.back() == wildcard;
  if (trailing) r.remove_suffix(1);
  int result = CompareWhole(l, r, false);
  if (result == 0) return 0;
  std::size_t at = l.find(r);
  if (at != std::string_view::npos && (leading || at == 0) &&
      (trailing || l.size() - at <= r.size())) {
    return 0;
  }
  return result;
}

}  // namespace tables
