#include "tables/index/cdx_key.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tables {
namespace {

constexpr std::uint8_t kMarkBase = 0xF0;
constexpr std::uint8_t kMarkExpands = 0x80;

constexpr std::array<std::uint8_t, 256> kWeight = {
    16,  16,  16,  16,  16,  16,  16,  16,  16,  17,  16,  16,  16,  16,  16,  16,   //
    16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,  16,   //
    17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,   //
    86,  87,  88,  89,  90,  91,  92,  93,  94,  95,  33,  34,  35,  36,  37,  38,   //
    39,  96,  97,  98,  100, 102, 103, 104, 105, 106, 107, 108, 109, 111, 112, 114,  //
    115, 116, 117, 118, 119, 120, 122, 123, 124, 125, 126, 40,  41,  42,  43,  44,   //
    45,  96,  97,  98,  100, 102, 103, 104, 105, 106, 107, 108, 109, 111, 112, 114,  //
    115, 116, 117, 118, 119, 120, 122, 123, 124, 125, 126, 46,  47,  48,  49,  16,   //
    16,  16,  24,  50,  19,  51,  52,  53,  54,  55,  118, 24,  0,   16,  16,  16,   //
    16,  24,  24,  19,  19,  56,  30,  30,  57,  58,  118, 24,  0,   16,  16,  125,  //
    32,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  19,  69,  30,  70,  71,   //
    72,  73,  88,  89,  74,  75,  76,  77,  78,  87,  79,  19,  80,  81,  82,  83,   //
    96,  96,  96,  96,  96,  96,  6,   98,  102, 102, 102, 102, 106, 106, 106, 106,  //
    101, 112, 114, 114, 114, 114, 114, 84,  129, 120, 120, 120, 120, 125, 18,  12,   //
    96,  96,  96,  96,  96,  96,  6,   98,  102, 102, 102, 102, 106, 106, 106, 106,  //
    101, 112, 114, 114, 114, 114, 114, 85,  129, 120, 120, 120, 120, 125, 18,  125};

constexpr std::array<std::uint8_t, 256> kMark = {
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    0,  32, 0,  32, 0,  32, 0,   0,  0,  32, 0,  0,  0,   0,  32,  32,   //
    0,  0,  0,  32, 0,  32, 0,   0,  0,  32, 0,  0,  0,   0,  0,   0,    //
    0,  32, 0,  32, 0,  32, 0,   0,  0,  32, 0,  0,  0,   0,  32,  32,   //
    0,  0,  0,  32, 0,  32, 0,   0,  0,  32, 0,  0,  0,   0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  40, 0,  128, 0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  40, 0,  128, 0,  0,   36,   //
    33, 0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    0,  0,  0,  0,  0,  0,  0,   0,  0,  0,  0,  0,  0,   0,  0,   0,    //
    34, 33, 35, 37, 36, 38, 128, 39, 34, 33, 35, 36, 34,  33, 35,  36,   //
    0,  37, 34, 33, 35, 37, 36,  0,  0,  34, 33, 35, 36,  33, 128, 128,  //
    34, 33, 35, 37, 36, 38, 128, 39, 34, 33, 35, 36, 34,  33, 35,  36,   //
    0,  37, 34, 33, 35, 37, 36,  0,  0,  34, 33, 35, 36,  33, 128, 36};

constexpr std::array<std::uint8_t, 32> kExpansion = {0, 2, 114, 32, 102, 32, 0, 2, 96,  32, 102, 32,
                                                     0, 2, 118, 32, 118, 32, 0, 2, 119, 0,  105, 0,
                                                     0, 0, 0,   0,  0,   0,  0, 0};

bool Expands(std::uint8_t weight) {
  return (weight == 0 || weight == 6 || weight == 18 || weight == 24) &&
         kExpansion[weight + 1] != 0;
}

}  // namespace

std::string CdxNumberKey(double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  bits = negative ? ~bits : bits | (std::uint64_t{1} << 63);
  std::string key(kCdxNumericKeyLength, '\0');
  for (int i = 0; i < kCdxNumericKeyLength; ++i) {
    key[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (56 - 8 * i));
  }
  return key;
}

double CdxKeyNumber(std::string_view key) {
  std::uint64_t bits = 0;
  for (int i = 0; i < kCdxNumericKeyLength; ++i) {
    const std::size_t at = static_cast<std::size_t>(i);
    const std::uint8_t byte = at < key.size() ? static_cast<std::uint8_t>(key[at]) : 0;
    bits = (bits << 8) | byte;
  }
  const bool storedNegative = (bits >> 63) == 0;
  bits = storedNegative ? ~bits : bits & ~(std::uint64_t{1} << 63);
  return std::bit_cast<double>(bits);
}

std::string CdxGeneralKey(std::string_view text) {
  text = CdxTrimBlanks(text);
  std::string weights;
  std::string marks;
  for (const char c : text) {
    const auto ch = static_cast<std::uint8_t>(c);
    const std::uint8_t weight = kWeight[ch];
    const std::uint8_t mark = kMark[ch];
    if (Expands(weight)) {
      weights += static_cast<char>(kExpansion[weight + 2]);
      weights += static_cast<char>(kExpansion[weight + 4]);
    } else {
      weights += static_cast<char>(weight);
    }
    if (mark == kMarkExpands) {
      for (const int at : {weight + 3, weight + 5}) {
        const std::uint8_t expansion = kExpansion[static_cast<std::size_t>(at)];
        if (expansion != 0) marks += static_cast<char>(expansion | kMarkBase);
      }
    } else if (mark != 0) {
      marks += static_cast<char>(mark | kMarkBase);
    }
  }
  while (!marks.empty() && static_cast<std::uint8_t>(marks.back()) == kMarkBase)
    marks.pop_back();
  return weights + marks;
}

void CdxGeneralToStored(std::string& key) {
  for (std::size_t at = key.size(); at > 0; --at) {
    auto& byte = reinterpret_cast<std::uint8_t&>(key[at - 1]);
    if (byte < kMarkBase) break;
    byte &= 0x0F;
  }
}

void CdxGeneralFromStored(std::string& key) {
  for (std::size_t at = key.size(); at > 1; --at) {
    auto& byte = reinterpret_cast<std::uint8_t&>(key[at - 1]);
    if (byte > 0x0F) break;
    byte |= kMarkBase;
  }
}

int CdxCompareKeys(std::string_view left, std::string_view right) {
  const std::size_t common = std::min(left.size(), right.size());
  const int result = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
  if (result != 0) return result < 0 ? -1 : 1;
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

namespace {

bool OnlyBlanks(std::string_view text) {
  return CdxTrimBlanks(text).empty();
}

}  // namespace

int CdxComparePadded(std::string_view probe, std::string_view padded, bool prefixMatches) {
  const std::size_t length = probe.size();
  std::size_t at = 0;
  for (; at + sizeof(std::uint64_t) <= length; at += sizeof(std::uint64_t)) {
    std::uint64_t left;
    std::uint64_t right;
    std::memcpy(&left, probe.data() + at, sizeof left);
    std::memcpy(&right, padded.data() + at, sizeof right);
    if (left != right) break;
  }
  while (at < length && probe[at] == padded[at])
    ++at;
  if (at == length) {
    // The key is probe and more (greater), or probe and blanks: equal unless probe ends in
    // blanks, which the key does not keep.
    if (!OnlyBlanks(padded.substr(length))) return prefixMatches ? 0 : -1;
    return CdxTrimBlanks(probe).size() == length ? 0 : 1;
  }
  const auto probeByte = static_cast<std::uint8_t>(probe[at]);
  const auto keyByte = static_cast<std::uint8_t>(padded[at]);
  // A blank that only pads ends the key inside probe: probe is the longer.
  if (keyByte == ' ' && OnlyBlanks(padded.substr(at))) return 1;
  return probeByte < keyByte ? -1 : 1;
}

std::string_view CdxTrimBlanks(std::string_view text) {
  // Keys are mostly padding: blanks go eight at a time first.
  constexpr std::uint64_t kEightBlanks = 0x2020202020202020;
  std::size_t end = text.size();
  for (std::uint64_t word = 0; end >= sizeof word; end -= sizeof word) {
    std::memcpy(&word, text.data() + end - sizeof word, sizeof word);
    if (word == kEightBlanks) continue;
    if constexpr (std::endian::native == std::endian::little) {
      // The last byte that is no blank is the highest one that differs.
      const auto differing = static_cast<std::size_t>(std::countl_zero(word ^ kEightBlanks));
      return text.substr(0, end - differing / 8);
    }
    break;
  }
  while (end > 0 && text[end - 1] == ' ')
    --end;
  return text.substr(0, end);
}

}  // namespace tables
