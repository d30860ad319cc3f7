#include "tables/index/exp_number_text.hpp"

#include <charconv>
#include <system_error>

namespace tables {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
  return c == ' ';
}

// A short text buffer on the stack that spills to the heap only for very long numbers. The
// plain form is never longer than the text it comes from.
class PlainNumber {
 public:
  explicit PlainNumber(std::size_t textLength) : onHeap_(textLength > sizeof local_) {}
  PlainNumber& operator+=(char c) {
    if (onHeap_) {
      heap_ += c;
    } else {
      local_[size_++] = c;
    }
    return *this;
  }
  const char* begin() const { return onHeap_ ? heap_.data() : local_; }
  const char* end() const { return onHeap_ ? heap_.data() + heap_.size() : local_ + size_; }

 private:
  bool onHeap_;
  char local_[128];
  std::size_t size_ = 0;
  std::string heap_;
};

// Copies the number into plain C form ('.' as separator, no '+' in front) for from_chars.
// Returns false when the text breaks the number grammar.
bool Normalise(std::string_view text, char separator, PlainNumber& out) {
  std::size_t i = 0, n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') out += '-';
    ++i;
  }
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i]))
    out += text[i++], ++digits;
  if (i < n && text[i] == separator) {
    out += '.';
    ++i;
    while (i < n && IsDigit(text[i]))
      out += text[i++], ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    out += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) out += text[i++];
    std::size_t exponentDigits = 0;
    while (i < n && IsDigit(text[i]))
      out += text[i++], ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == n;
}

}  // namespace

bool TryTextToFloat(std::string_view text, char decimalSeparator, double& value) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  std::size_t last = text.size();
  while (last > first && IsBlank(text[last - 1]))
    --last;
  std::string_view number = text.substr(first, last - first);
  PlainNumber plain(number.size());
  if (!Normalise(number, decimalSeparator, plain)) return false;
  double result = 0;
  auto [end, error] = std::from_chars(plain.begin(), plain.end(), result);
  if (error != std::errc() || end != plain.end()) return false;
  value = result;
  return true;
}

std::string ShortestNumberText(double value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;  // 64 bytes always hold a double
  return std::string(buffer, end);
}

}  // namespace tables
