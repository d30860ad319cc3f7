#pragma once
// Argument fetching and number rules shared by the built-in functions.
#include <cstdint>
#include <string>

#include "tables/index/exp_call.hpp"

namespace tables {

// The longest text a function builds from a count (SPACE, the padding functions, STR) or the
// text operators join: sixteen times the longest field. Every text operation walks its texts,
// so texts of tens of megabytes made a short expression take seconds per record.
inline constexpr long long kMaxBuiltText = 1LL << 20;

// trunc(value) as a count: toward zero, kept within +-2^53; not a number gives 0.
long long TruncatedCount(double value);
// Nearest whole number, halves to even.
double RoundedHalfEven(double value);
// A count rounded half to even, kept within +-2^53; not a number gives 0.
long long RoundedCount(double value);
// All the texts one evaluation builds or joins: a short expression can ask for many texts of
// the longest length, which together would exhaust the memory.
inline constexpr long long kMaxBuiltTotal = 2 * kMaxBuiltText;

// Raises ERangeError when a text of that length is beyond kMaxBuiltText, or when it takes the
// texts built during the current evaluation beyond kMaxBuiltTotal.
void CheckBuiltLength(long long length);

// Counts the texts built while it lives; one lives through each evaluation (a nested
// evaluation counts on its own).
class TxbBuiltTextBudget {
 public:
  TxbBuiltTextBudget();
  ~TxbBuiltTextBudget();
  TxbBuiltTextBudget(const TxbBuiltTextBudget&) = delete;
  TxbBuiltTextBudget& operator=(const TxbBuiltTextBudget&) = delete;

  // Raises ERangeError when length more would pass kMaxBuiltTotal; counts it otherwise.
  void Spend(long long length);

 private:
  TxbBuiltTextBudget* previous_;
  long long spent_ = 0;
};

// A required argument as text (converted by the variant rules), in value's own buffer.
std::string& TextArgument(TxbExpFunction& call, int index, TxbExpValue& value);
// A required argument as a number (converted by the variant rules).
double NumberArgument(TxbExpFunction& call, int index, TxbExpValue& value);

// Result helpers: store the value and its type.
void ReturnNumber(TxbExpValue& value, std::uint8_t& type, double number);
void ReturnBoolean(TxbExpValue& value, std::uint8_t& type, bool boolean);

}  // namespace tables
