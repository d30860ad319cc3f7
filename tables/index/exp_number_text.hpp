#pragma once
// Numbers as text: the text-to-float conversion of literals, VAL and variant conversions. STR
// and numeric literal display format with XbFormatFixed, as the number fields do.
#include <string>
#include <string_view>

namespace tables {

// Reads [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks]; at least one
// digit before the exponent. False when the whole text is not such a number or its value does
// not fit a double.
bool TryTextToFloat(std::string_view text, char decimalSeparator, double& value);

// The shortest text that reads back as the same double ("1.5", "1e+20"), for conversions of a
// number to text.
std::string ShortestNumberText(double value);

}  // namespace tables
