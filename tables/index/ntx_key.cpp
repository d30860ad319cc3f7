#include "tables/index/ntx_key.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tables/storage/dbf_date.hpp"

namespace tables {
namespace {

constexpr char kNegativeBase = 92;

}  // namespace

std::string NtxNumberKey(double value, int keyLength, int decimals) {
  const auto length = static_cast<std::size_t>(keyLength);
  char text[128];
  const int written =
      std::snprintf(text, sizeof text, "%*.*f", keyLength, decimals, std::fabs(value));
  std::string key;
  if (written < 0 || static_cast<std::size_t>(written) > length || !std::isfinite(value)) {
    key.assign(length, '*');
  } else {
    key.assign(text, static_cast<std::size_t>(written));
  }
  for (char& c : key) {
    if (c == ' ') c = '0';
  }
  const bool negative = value < 0 && key.find_first_not_of("0.") != std::string::npos;
  if (negative) {
    for (char& c : key) {
      if (c != '.') c = static_cast<char>(kNegativeBase - c);
    }
  }
  return key;
}

std::optional<double> NtxKeyNumber(std::string_view key) {
  // Some writers pad with blanks instead of zeros, or end the key with a NUL.
  while (!key.empty() && (key.back() == '\0' || key.back() == ' '))
    key.remove_suffix(1);
  if (key.empty()) return 0.0;
  const bool negative =
      key.front() != '.' && key.front() != ' ' && (key.front() < '0' || key.front() > '9');
  std::string digits(key);
  if (negative) {
    for (char& c : digits) {
      if (c != '.') c = static_cast<char>(kNegativeBase - c);
    }
  }
  if (digits.find_first_not_of("0123456789. ") != std::string::npos) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(digits.c_str(), &end);
  if (end == digits.c_str()) return std::nullopt;
  return negative ? -value : value;
}

std::string NtxDateKey(std::int32_t julian) {
  return julian > 0 ? XbDate().StorageText(julian) : kNtxEmptyDateKey;
}

std::optional<std::int32_t> NtxKeyDate(std::string_view key) {
  if (key.empty() || key == kNtxEmptyDateKey) return 0;
  if (key.size() != 8 || key.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const int year = std::atoi(std::string(key.substr(0, 4)).c_str());
  const int month = std::atoi(std::string(key.substr(4, 2)).c_str());
  const int day = std::atoi(std::string(key.substr(6, 2)).c_str());
  return TxbDBFDate::FromCalendar(year, month, day);
}

}  // namespace tables
