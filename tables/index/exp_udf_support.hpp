#pragma once
// Argument fetching and number rules shared by the built-in functions.
#include <cstdint>
#include <string>

#include "tables/index/exp_call.hpp"

namespace tables {

// The longest text a function builds from a count (SPACE, the padding functions, STR) or the
// text operators join.
inline constexpr long long kMaxBuiltText = 1LL << 26;

// trunc(value) as a count: toward zero, kept within +-2^53; not a number gives 0.
long long TruncatedCount(double value);
// Nearest whole number, halves to even.
double RoundedHalfEven(double value);
// A count rounded half to even, kept within +-2^53; not a number gives 0.
long long RoundedCount(double value);
// Raises ERangeError when a text of that length is beyond kMaxBuiltText.
void CheckBuiltLength(long long length);

// A required argument as text (converted by the variant rules), in value's own buffer.
std::string& TextArgument(TxbExpFunction& call, int index, TxbExpValue& value);
// A required argument as a number (converted by the variant rules).
double NumberArgument(TxbExpFunction& call, int index, TxbExpValue& value);

// Result helpers: store the value and its type.
void ReturnNumber(TxbExpValue& value, std::uint8_t& type, double number);
void ReturnBoolean(TxbExpValue& value, std::uint8_t& type, bool boolean);

}  // namespace tables
