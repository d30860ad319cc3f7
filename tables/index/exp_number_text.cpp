#include "tables/index/exp_number_text.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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

// Digits of the shortest decimal form: value = 0.d1d2...dn x 10^point.
struct DecimalDigits {
  std::array<char, 32> digits{};
  int count = 0;
  int point = 0;
  bool negative = false;
};

DecimalDigits ShortestDigits(double value) {
  DecimalDigits result;
  char buffer[64];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  (void)error;  // 64 bytes always hold a double in scientific form
  const char* p = buffer;
  if (*p == '-') result.negative = true, ++p;
  for (; p < end && *p != 'e'; ++p) {
    if (IsDigit(*p)) result.digits[result.count++] = *p;
  }
  int exponent = 0;
  const char* digits = p + 1;
  if (digits < end && *digits == '+') ++digits;  // from_chars reads no plus sign
  std::from_chars(digits, end, exponent);
  result.point = exponent + 1;
  return result;
}

// Rounds the digits half away from zero so that none lies below 10^-decimals.
void RoundDigits(DecimalDigits& d, int decimals) {
  long keep = static_cast<long>(d.point) + decimals;
  if (keep >= d.count) return;
  if (keep < 0) {
    d.count = 0;
    return;
  }
  bool up = d.digits[keep] >= '5';
  d.count = static_cast<int>(keep);
  if (!up) return;
  int i = d.count - 1;
  while (i >= 0 && d.digits[i] == '9')
    d.digits[i--] = '0';
  if (i >= 0) {
    ++d.digits[i];
    return;
  }
  // Every kept digit was 9 (or none was kept): the carry makes a new leading 1.
  for (int j = d.count; j > 0; --j)
    d.digits[j] = d.digits[j - 1];
  d.digits[0] = '1';
  ++d.count;
  ++d.point;
}

char DigitAt(const DecimalDigits& d, long index) {
  return index >= 0 && index < d.count ? d.digits[index] : '0';
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

void FormatFixed(double value, int decimals, std::string& out) {
  out.clear();
  if (std::isnan(value)) {
    out = "NAN";
    return;
  }
  if (std::isinf(value)) {
    out = value < 0 ? "-INF" : "INF";
    return;
  }
  if (decimals < 0) decimals = 0;
  DecimalDigits d = value == 0 ? DecimalDigits{} : ShortestDigits(value);
  RoundDigits(d, decimals);
  bool zero = true;
  for (int i = 0; i < d.count; ++i)
    zero = zero && d.digits[i] == '0';
  if (d.negative && !zero) out += '-';
  if (d.point <= 0) {
    out += '0';
  } else {
    for (long i = 0; i < d.point; ++i)
      out += DigitAt(d, i);
  }
  if (decimals == 0) return;
  out += '.';
  // Past the last significant digit every decimal is 0: appended at once, as a width of
  // millions of decimals would otherwise take seconds.
  const long significant = std::clamp<long>(d.count - d.point, 0, decimals);
  for (long i = 0; i < significant; ++i)
    out += DigitAt(d, d.point + i);
  out.append(static_cast<std::size_t>(decimals - significant), '0');
}

std::string ShortestNumberText(double value) {
  char buffer[64];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;  // 64 bytes always hold a double
  return std::string(buffer, end);
}

}  // namespace tables
