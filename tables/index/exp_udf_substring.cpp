// Built-ins that cut, search, measure or make texts: LEFT, RIGHT, SUBSTR, AT, ATC, LEN, ASC,
// CHR and SPACE.
#include <cmath>
#include <string>

#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

bool ReturnText(std::uint8_t& type) {
  type = xb_type::Text;
  return true;
}

void AsciiUpper(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

// The count argument of AT and ATC: trunc'ed when it is a number, else 1.
long long OccurrenceArgument(TxbExpFunction& call, TxbExpValue& value) {
  std::uint8_t type = call.GetArgument(2, xb_type::Number, value);
  return IsNumericType(type) ? TruncatedCount(value.ToNumber(call.machine())) : 1;
}

// Position (from 1) of the n-th occurrence of needle in text, occurrences overlapping; the
// last one found when there are fewer; 0 when there is none.
long long Occurrence(const std::string& needle, const std::string& text, long long n) {
  if (n < 1 || needle.empty()) return 0;
  long long position = 0;
  std::size_t start = 0;
  for (long long found = 0; found < n; ++found) {
    std::size_t at = text.find(needle, start);
    if (at == std::string::npos) break;
    position = static_cast<long long>(at) + 1;
    start = at + 1;
  }
  return position;
}

}  // namespace

bool TxbUDFLeft::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  double count = NumberArgument(call, 1, call.Scratch(0));
  if (!(count > 0.01)) {
    text.clear();
  } else if (TruncatedCount(count) < static_cast<long long>(text.size())) {
    text.resize(static_cast<std::size_t>(TruncatedCount(count)));
  }
  return ReturnText(type);
}

bool TxbUDFRight::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  long long count = TruncatedCount(NumberArgument(call, 1, call.Scratch(0)));
  long long length = static_cast<long long>(text.size());
  if (count >= 1 && count <= length - 1) text.erase(0, static_cast<std::size_t>(length - count));
  return ReturnText(type);
}

bool TxbUDFSubStr::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  long long from = TruncatedCount(NumberArgument(call, 1, call.Scratch(0)));
  long long length = static_cast<long long>(text.size());
  TxbExpValue& countValue = call.Scratch(0);
  std::uint8_t countType = call.GetArgument(2, xb_type::Number, countValue);
  long long count =
      IsNumericType(countType) ? TruncatedCount(countValue.ToNumber(call.machine())) : length;
  if (count > length - from + 1) count = length - from + 1;
  if (from == 0 || from > length || count <= 0) {
    text.clear();
    return ReturnText(type);
  }
  text.erase(0, from < 0 ? 0 : static_cast<std::size_t>(from - 1));
  if (count < static_cast<long long>(text.size())) text.resize(static_cast<std::size_t>(count));
  return ReturnText(type);
}

bool TxbUDFAt::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  const std::string& needle = TextArgument(call, 0, call.Scratch(0));
  const std::string& text = TextArgument(call, 1, call.Scratch(1));
  long long n = OccurrenceArgument(call, value);
  ReturnNumber(value, type, static_cast<double>(Occurrence(needle, text, n)));
  return true;
}

bool TxbUDFAtC::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& needle = TextArgument(call, 0, call.Scratch(0));
  std::string& text = TextArgument(call, 1, call.Scratch(1));
  long long n = OccurrenceArgument(call, value);
  AsciiUpper(needle);
  AsciiUpper(text);
  ReturnNumber(value, type, static_cast<double>(Occurrence(needle, text, n)));
  return true;
}

bool TxbUDFLen::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double length = static_cast<double>(TextArgument(call, 0, value).size());
  ReturnNumber(value, type, length);
  return true;
}

bool TxbUDFAsc::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  const std::string& text = TextArgument(call, 0, value);
  double code = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  ReturnNumber(value, type, code);
  return true;
}

bool TxbUDFChr::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  double code = RoundedHalfEven(NumberArgument(call, 0, value));
  if (!(code >= 0 && code <= 255)) RaiseInvalidValue("Byte");
  value.NewText().assign(1, static_cast<char>(static_cast<unsigned char>(code)));
  return ReturnText(type);
}

bool TxbUDFSpace::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  long long count = TruncatedCount(NumberArgument(call, 0, value));
  if (count < 0) count = 0;
  CheckBuiltLength(count);
  value.NewText().assign(static_cast<std::size_t>(count), ' ');
  return ReturnText(type);
}

}  // namespace tables
