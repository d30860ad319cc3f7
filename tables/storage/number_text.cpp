#include "tables/storage/number_text.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tables {
namespace {

constexpr std::size_t kConvertedCharacters = 31;
constexpr int kMaxDecimals = 255;
// Below this magnitude a value scaled by its decimals is still an exact integer in a double.
constexpr double kExactScale = 4503599627370496.0;  // 2^52

double RoundHalfAway(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = value * scale;
  if (std::fabs(scaled) >= kExactScale) return value;
  const double rounded = std::round(scaled);
  return rounded == 0 ? 0.0 : rounded / scale;
}

}  // namespace

bool XbParseNumber(std::string_view text, double& value) {
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  if (text.size() > kConvertedCharacters) text = text.substr(0, kConvertedCharacters);
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
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
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = negative ? -parsed : parsed;
  return true;
}

std::size_t XbFormatFixed(double value, int decimals, char* buffer) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  if (std::isfinite(value)) value = RoundHalfAway(value, decimals);
  int written = std::snprintf(buffer, kNumberTextCapacity, "%.*f", decimals, value);
  if (written < 0) written = 0;
  return std::min(static_cast<std::size_t>(written), kNumberTextCapacity - 1);
}

bool XbFormatNumber(double value, int width, int decimals, std::uint8_t* target) {
  if (!std::isfinite(value) || width <= 0) return false;
  char text[kNumberTextCapacity];
  const std::size_t length = XbFormatFixed(value, decimals, text);
  if (length > static_cast<std::size_t>(width)) return false;
  const std::size_t pad = static_cast<std::size_t>(width) - length;
  std::memset(target, ' ', pad);
  std::memcpy(target + pad, text, length);
  return true;
}

}  // namespace tables
