#pragma once
// Key text of Clipper index files (NTX), where every key is text: dates as YYYYMMDD
// ("00000000" for the empty date), numbers formatted as absolute values to the key length
// with the tag's decimals, blanks written as 0, and for negative numbers every character but
// the decimal point c stored as the character 92 - c, so that negative keys sort first and
// in reverse.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tables {

inline constexpr const char* kNtxEmptyDateKey = "00000000";

std::string NtxNumberKey(double value, int keyLength, int decimals);
// The number a numeric key holds; nothing when it is not one.
std::optional<double> NtxKeyNumber(std::string_view key);

std::string NtxDateKey(std::int32_t julian);
// The day a date key holds: 0 for the empty date; nothing when it is not a date.
std::optional<std::int32_t> NtxKeyDate(std::string_view key);

}  // namespace tables
