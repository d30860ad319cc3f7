#pragma once
// Numbers as text: the text-to-float conversion of literals, VAL and variant conversions, and
// the fixed-point formatting of STR and numeric literal display.
#include <string>
#include <string_view>

namespace tables {

// Reads [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks]; at least one
// digit before the exponent. False when the whole text is not such a number or its value does
// not fit a double.
bool TryTextToFloat(std::string_view text, char decimalSeparator, double& value);

// The value in fixed notation with the given number of decimals, rounded half away from zero
// on its shortest decimal form (so 2.675 gives 2.68 and 0.125 gives 0.13). Never "-0".
// Non-finite values give "INF", "-INF" or "NAN".
void FormatFixed(double value, int decimals, std::string& out);

// The shortest text that reads back as the same double ("1.5", "1e+20"), for conversions of a
// number to text.
std::string ShortestNumberText(double value);

}  // namespace tables
