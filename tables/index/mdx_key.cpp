#include "tables/index/mdx_key.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tables {
namespace {

constexpr int kExponentBias = 52;
constexpr int kMaxExponent = 15;
constexpr int kDigits = 15;
constexpr unsigned char kNegative = 0x80;

}  // namespace

std::string MdxNumberKey(double value) {
  std::string key(kMdxNumericKeyLength, '\0');
  std::string digits;
  int exponent = 0;
  if (value != 0 && std::isfinite(value)) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", kDigits - 1, std::fabs(value));
    digits.push_back(text[0]);
    digits.append(text + 2, kDigits - 1);
    exponent = std::atoi(text + kDigits + 2) + 1;
    if (exponent > kMaxExponent) {
      exponent = kMaxExponent;
      digits.assign(kDigits, '9');
    }
    while (!digits.empty() && digits.back() == '0')
      digits.pop_back();
  }
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const auto nibble = static_cast<unsigned char>(digits[i] - '0');
    key[2 + i / 2] = static_cast<char>(static_cast<unsigned char>(key[2 + i / 2]) |
                                       (i % 2 == 0 ? nibble << 4 : nibble));
  }
  const auto bytes = static_cast<int>((digits.size() + 1) / 2);
  key[0] = static_cast<char>(exponent + kExponentBias);
  unsigned char lengthByte = static_cast<unsigned char>(bytes * 2 * 4 + 1);
  if (value < 0 && !digits.empty()) lengthByte |= kNegative;
  key[1] = static_cast<char>(lengthByte);
  return key;
}

double MdxKeyNumber(std::string_view key) {
  if (key.size() < 2) return 0;
  const int exponent = static_cast<unsigned char>(key[0]) - kExponentBias;
  std::string text = "0.";
  for (std::size_t i = 0; i < static_cast<std::size_t>(kDigits) && 2 + i / 2 < key.size(); ++i) {
    const auto byte = static_cast<unsigned char>(key[2 + i / 2]);
    const int digit = i % 2 == 0 ? byte >> 4 : byte & 0x0F;
    text.push_back(static_cast<char>('0' + (digit > 9 ? 9 : digit)));
  }
  text += "e" + std::to_string(exponent);
  const double value = std::strtod(text.c_str(), nullptr);
  return (static_cast<unsigned char>(key[1]) & kNegative) ? -value : value;
}

}  // namespace tables
