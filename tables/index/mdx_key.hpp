#pragma once
// Numeric keys of dBase IV multiple index files (MDX): a 12-byte decimal form. Byte 0 is the
// decimal exponent + 52, byte 1 is n * 4 + 1 (plus 0x80 when negative) where n counts the
// digit positions used, two per byte after trailing zero bytes are dropped; from byte 2 the
// significant digits (at most 15), two per byte, the first in the high half. A value whose
// exponent exceeds 15 is stored as exponent 15 with fifteen digits 9.
#include <string>
#include <string_view>

namespace tables {

inline constexpr int kMdxNumericKeyLength = 12;
inline constexpr int kMdxDateKeyLength = 8;

std::string MdxNumberKey(double value);
double MdxKeyNumber(std::string_view key);

}  // namespace tables
