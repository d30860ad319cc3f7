#pragma once
// Decimal text of N and F fields (and of memo block numbers outside version 0x30 tables).
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tables {

// Longest text XbFormatFixed produces (a double's integer digits, a sign, a point, decimals).
inline constexpr std::size_t kNumberTextCapacity = 700;

// Reads a stored number: trailing blanks removed, at most the first 31 characters, leading
// blanks skipped; empty text is 0. False when the text is not a decimal number.
bool XbParseNumber(std::string_view text, double& value);

// value in fixed point with decimals places (halves rounded away from zero), without padding.
// Returns the length written to buffer (at most kNumberTextCapacity - 1 characters).
std::size_t XbFormatFixed(double value, int decimals, char* buffer);

// value formatted right-aligned into exactly width characters at target. False (target
// untouched) when the text is longer than width or value is not a finite number.
bool XbFormatNumber(double value, int width, int decimals, std::uint8_t* target);

}  // namespace tables
