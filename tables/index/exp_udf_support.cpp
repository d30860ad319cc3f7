#include "tables/index/exp_udf_support.hpp"

#include <cmath>

#include "platform/exception.hpp"

namespace tables {
namespace {

constexpr double kCountLimit = 9007199254740992.0;  // 2^53

thread_local TxbBuiltTextBudget* currentBudget = nullptr;

long long ClampedCount(double whole) {
  if (std::isnan(whole)) return 0;
  if (whole > kCountLimit) whole = kCountLimit;
  if (whole < -kCountLimit) whole = -kCountLimit;
  return static_cast<long long>(whole);
}

}  // namespace

long long TruncatedCount(double value) {
  return ClampedCount(std::trunc(value));
}

double RoundedHalfEven(double value) {
  return std::nearbyint(value);
}

long long RoundedCount(double value) {
  return ClampedCount(RoundedHalfEven(value));
}

void CheckBuiltLength(long long length) {
  if (length > kMaxBuiltText) {
    throw platform::ERangeError("A text of " + std::to_string(length) +
                                " characters is too long to build");
  }
  if (currentBudget) currentBudget->Spend(length);
}

TxbBuiltTextBudget::TxbBuiltTextBudget() : previous_(currentBudget) {
  currentBudget = this;
}

TxbBuiltTextBudget::~TxbBuiltTextBudget() {
  currentBudget = previous_;
}

void TxbBuiltTextBudget::Spend(long long length) {
  if (length > 0 && spent_ + length > kMaxBuiltTotal) {
    throw platform::ERangeError("The texts built by one evaluation would pass " +
                                std::to_string(kMaxBuiltTotal) + " characters");
  }
  spent_ += length > 0 ? length : 0;
}

std::string& TextArgument(TxbExpFunction& call, int index, TxbExpValue& value) {
  call.RequireArgument(index, xb_type::Text, value);
  return value.MakeText();
}

double NumberArgument(TxbExpFunction& call, int index, TxbExpValue& value) {
  call.RequireArgument(index, xb_type::Number, value);
  return value.ToNumber(call.machine());
}

void ReturnNumber(TxbExpValue& value, std::uint8_t& type, double number) {
  value.SetNumber(number + 0.0);  // never -0
  type = xb_type::Number;
}

void ReturnBoolean(TxbExpValue& value, std::uint8_t& type, bool boolean) {
  value.SetBoolean(boolean);
  type = xb_type::Boolean;
}

}  // namespace tables
