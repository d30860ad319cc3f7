#pragma once
// Decimal text of N and F fields (and of memo block numbers outside version 0x30 tables), and
// the fixed-point text of the expression language's STR and number literals.
#include <cstdint>
#include <string>
#include <string_view>

namespace tables {

// Reads a stored number: trailing blanks removed, at most the first 31 characters, leading
// blanks skipped; empty text is 0. False when the text is not a decimal number.
bool XbParseNumber(std::string_view text, double& value);

// The digits of a number laid out as a field of text's width with decimals places stores it:
// blanks, an optional minus, at least one digit and, with decimals, a point and exactly that
// many digits, at most 15 digit places in all. The value is digits / 10^decimals.
struct XbFieldDigits {
  std::uint64_t digits = 0;
  bool negative = false;
};
inline constexpr int kFieldLayoutPlaces = 15;

// Reads the digits of that layout without a branch on the text; false, with digits untouched,
// for any other layout.
bool XbReadFieldDigits(std::string_view text, int decimals, XbFieldDigits& digits);
// The same layout read with its point as a 0 digit, so that no place moves: "  -12.50" with 2
// decimals gives 12050 and a minus. Orders as the values do, and reads faster.
bool XbReadFieldPlaces(std::string_view text, int decimals, XbFieldDigits& places);
// The value those digits stand for: the value XbParseNumber gives for their text.
double XbFieldDigitsValue(const XbFieldDigits& digits, int decimals);
// XbReadFieldDigits and XbFieldDigitsValue in one.
bool XbParseFieldLayout(std::string_view text, int decimals, double& value);

// value in fixed point with decimals places (none when below 0), without padding, rounded half
// away from zero on its shortest decimal form: the value as it is written, not its binary
// approximation, so 1.005 gives 1.01 and 2.675 gives 2.68. Never "-0". Non-finite values give
// "INF", "-INF" or "NAN".
void XbFormatFixed(double value, int decimals, std::string& out);

// value formatted right-aligned into exactly width characters at target. False (target
// untouched) when the text is longer than width or value is not a finite number.
bool XbFormatNumber(double value, int width, int decimals, std::uint8_t* target);

}  // namespace tables
