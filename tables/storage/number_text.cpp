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
constexpr std::size_t kMostExactDigits = kFieldLayoutPlaces;

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

// A field layout's places are read eight at a time, a byte of a word each, the text's first
// character in the word's lowest byte.
constexpr std::uint64_t EveryByte(std::uint8_t byte) {
  return 0x0101010101010101ULL * byte;
}
constexpr std::uint64_t kBlankWord = EveryByte(' ');
constexpr std::uint64_t kHighBits = EveryByte(0x80);

std::uint64_t LoadLittleEndian(const char* bytes) {
  std::uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, bytes, sizeof word);
  } else {
    for (int i = 7; i >= 0; --i)
      word = word << 8 | static_cast<unsigned char>(bytes[i]);
  }
  return word;
}

// 0x80 in each byte of word that is zero, 0 in the others.
std::uint64_t ZeroBytes(std::uint64_t word) {
  const std::uint64_t low7 = EveryByte(0x7F);
  return ~(((word & low7) + low7) | word) & kHighBits;
}

// 0x80 in each byte of word that is not a digit.
std::uint64_t NonDigitBytes(std::uint64_t word) {
  const std::uint64_t offset = word ^ EveryByte('0');  // 0-9 for the digits
  const std::uint64_t aboveNine = ((offset & EveryByte(0x0F)) + EveryByte(0x06)) & EveryByte(0x10);
  return ~ZeroBytes((offset & EveryByte(0xF0)) | aboveNine) & kHighBits;
}

// Bit i set for each byte i of word that has 0x80 set.
unsigned ByteBits(std::uint64_t flags) {
  return static_cast<unsigned>(((flags >> 7) * 0x0102040810204080ULL) >> 56);
}

// The eight digits of word as a number, the lowest byte the most significant; bytes flagged
// as no digit count as 0.
std::uint64_t EightDigits(std::uint64_t word, std::uint64_t nonDigits) {
  std::uint64_t v = (word ^ EveryByte('0')) & ~((nonDigits >> 7) * 0xFF);
  v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFULL;
  v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFULL;
  return (v * 10000 + (v >> 32)) & 0xFFFFFFFFULL;
}

// Sixteen places, the text right-aligned behind blanks; only the text's own bytes are read.
struct SixteenPlaces {
  std::uint64_t front = kBlankWord;  // places 0-7
  std::uint64_t back = kBlankWord;   // places 8-15

  unsigned char At(int place) const {
    const std::uint64_t word = place < 8 ? front : back;
    return static_cast<unsigned char>(word >> (8 * (place % 8)));
  }
};

SixteenPlaces RightAligned(std::string_view text) {
  SixteenPlaces places;
  if (text.size() < 8) {
    std::array<char, 8> padded;
    padded.fill(' ');
    std::memcpy(padded.data() + 8 - text.size(), text.data(), text.size());
    places.back = LoadLittleEndian(padded.data());
    return places;
  }
  places.back = LoadLittleEndian(text.data() + text.size() - 8);
  const std::size_t blanks = 16 - text.size();  // in front of the first word's characters
  if (blanks < 8) {
    const std::uint64_t first = LoadLittleEndian(text.data());
    const std::uint64_t blankBytes = (std::uint64_t{1} << (8 * blanks)) - 1;
    places.front = (first << (8 * blanks)) | (kBlankWord & blankBytes);
  }
  return places;
}

// Places 0 to point each take the one before them (place 0 a blank), which closes the gap of
// the point at place point (1-14).
void TakeOutPoint(SixteenPlaces& places, int point) {
  const std::uint64_t movedFront = (places.front << 8) | ' ';
  const std::uint64_t movedBack = (places.back << 8) | (places.front >> 56);
  const auto bytesUpTo = [](int last) {
    return last >= 7 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * (last + 1))) - 1;
  };
  const std::uint64_t frontMoved = point < 8 ? bytesUpTo(point) : ~std::uint64_t{0};
  const std::uint64_t backMoved = point < 8 ? 0 : bytesUpTo(point - 8);
  places.front = (movedFront & frontMoved) | (places.front & ~frontMoved);
  places.back = (movedBack & backMoved) | (places.back & ~backMoved);
}

// Sixteen places: blanks, an optional minus, then digits from lastWhole (the integer part's
// last place) on at the latest, the places flagged in passedOver aside. The digits with their
// sign, places passed over read as 0; false for any other text.
bool ReadPlaces(const SixteenPlaces& places, int lastWhole, unsigned passedOver,
                XbFieldDigits& digits) {
  const std::uint64_t frontOthers = NonDigitBytes(places.front);
  const std::uint64_t backOthers = NonDigitBytes(places.back);
  const unsigned others = (ByteBits(frontOthers) | ByteBits(backOthers) << 8) & ~passedOver;
  const unsigned blanks = ByteBits(ZeroBytes(places.front ^ kBlankWord)) |
                          ByteBits(ZeroBytes(places.back ^ kBlankWord)) << 8;
  // The places that are no digit lead, and end before the integer part's last place.
  if ((others & (others + 1)) != 0 || (others >> lastWhole) != 0) return false;
  const unsigned signs = others & ~blanks;
  const unsigned lastOther = (others + 1) >> 1;
  if (signs != 0 && (signs != lastOther || places.At(std::countr_zero(signs)) != '-')) {
    return false;
  }
  digits.digits =
      EightDigits(places.front, frontOthers) * 100000000ULL + EightDigits(places.back, backOthers);
  digits.negative = signs != 0;
  return true;
}

// Whether a field of text's width can hold the layout with decimals places.
bool LayoutFits(std::string_view text, int decimals) {
  if (decimals < 0) return false;
  const auto fraction = static_cast<std::size_t>(decimals);
  const std::size_t point = fraction > 0 ? fraction + 1 : 0;  // places of point and fraction
  return text.size() > point && text.size() - (point > 0 ? 1 : 0) <= kMostExactDigits;
}

}  // namespace

bool XbReadFieldDigits(std::string_view text, int decimals, XbFieldDigits& digits) {
  if (!LayoutFits(text, decimals)) return false;
  SixteenPlaces places = RightAligned(text);
  if (decimals == 0) return ReadPlaces(places, 15, 0, digits);
  // Once the point is out, the integer part's last digit stands where the point stood.
  const int pointPlace = 15 - decimals;
  if (places.At(pointPlace) != '.') return false;
  TakeOutPoint(places, pointPlace);
  return ReadPlaces(places, pointPlace, 0, digits);
}

bool XbReadFieldPlaces(std::string_view text, int decimals, XbFieldDigits& places) {
  if (!LayoutFits(text, decimals)) return false;
  const SixteenPlaces aligned = RightAligned(text);
  if (decimals == 0) return ReadPlaces(aligned, 15, 0, places);
  const int pointPlace = 15 - decimals;
  if (aligned.At(pointPlace) != '.') return false;
  return ReadPlaces(aligned, pointPlace - 1, 1U << pointPlace, places);
}

double XbFieldDigitsValue(const XbFieldDigits& digits, int decimals) {
  return WithSign(
      static_cast<double>(digits.digits) / kExactPowersOfTen[static_cast<std::size_t>(decimals)],
      digits.negative);
}

bool XbParseFieldLayout(std::string_view text, int decimals, double& value) {
  XbFieldDigits digits;
  if (!XbReadFieldDigits(text, decimals, digits)) return false;
  value = XbFieldDigitsValue(digits, decimals);
  return true;
}

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
