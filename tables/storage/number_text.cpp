#include "tables/storage/number_text.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace tables {
namespace {

constexpr std::size_t kConvertedCharacters = 31;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
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

// Digits that always make an integer below 2^53.
constexpr std::size_t kMostExactDigits = 15;

// The blanks in front of text, skipped a word at a time where the text is long enough:
// stored numbers stand right-aligned behind a number of blanks that changes with each value.
std::size_t LeadingBlanks(std::string_view text) {
  constexpr std::uint64_t kBlankWord = 0x2020202020202020;
  std::size_t skipped = 0;
  while (text.size() - skipped >= sizeof kBlankWord) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + skipped, sizeof word);
    // Zero bytes where the text has blanks; the first other byte ends them.
    const std::uint64_t others = word ^ kBlankWord;
    if (others != 0) {
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(others)
                                                                 : std::countl_zero(others);
      return skipped + static_cast<std::size_t>(bit / 8);
    }
    skipped += sizeof kBlankWord;
  }
  while (skipped < text.size() && text[skipped] == ' ')
    ++skipped;
  return skipped;
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> kExactPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Digits with at most one point and at most 15 digits in all, the form stored numbers take:
// the digits make an integer below 2^53 and the point a division by an exact power of ten, so
// the one rounding of that division gives the correctly rounded value, as the general
// conversion would. False, with value untouched, for any other text.
bool ParsePlainDecimal(std::string_view text, double& value) {
  // Unsigned, as more than 19 digits wrap around before the count refuses them.
  std::uint64_t digits = 0;
  std::size_t count = 0;
  int decimals = -1;
  for (const char c : text) {
    const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
    if (digit < 10) {
      digits = digits * 10 + digit;
      ++count;
      decimals += decimals >= 0 ? 1 : 0;
    } else if (c == '.' && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (count == 0 || count > kMostExactDigits) return false;
  // Integers are divided by 1, exactly, rather than told apart by a branch.
  value = static_cast<double>(digits) /
          kExactPowersOfTen[static_cast<std::size_t>(std::max(decimals, 0))];
  return true;
}

// The sign bit set from negative without a branch: stored numbers are negative in no
// foreseeable order. Keeps -0 for a negative zero, as negation does.
double WithSign(double magnitude, bool negative) {
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  return std::bit_cast<double>(bits ^ (static_cast<std::uint64_t>(negative) << 63));
}

}  // namespace

bool XbParseNumber(std::string_view text, double& value) {
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (text.size() > kConvertedCharacters) text = text.substr(0, kConvertedCharacters);
  text.remove_prefix(LeadingBlanks(text));
  value = 0;
  if (text.empty()) return true;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars would also take "inf" and "nan", which are not stored numbers.
  if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.')) {
    return false;
  }
  double parsed = 0;
  if (ParsePlainDecimal(text, parsed)) {
    value = WithSign(parsed, negative);
    return true;
  }
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = WithSign(parsed, negative);
  return true;
}

void XbFormatFixed(double value, int decimals, std::string& out) {
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

bool XbFormatNumber(double value, int width, int decimals, std::uint8_t* target) {
  if (!std::isfinite(value) || width <= 0) return false;
  std::string text;
  XbFormatFixed(value, decimals, text);
  if (text.size() > static_cast<std::size_t>(width)) return false;
  const std::size_t pad = static_cast<std::size_t>(width) - text.size();
  std::memset(target, ' ', pad);
  std::memcpy(target + pad, text.data(), text.size());
  return true;
}

}  // namespace tables
