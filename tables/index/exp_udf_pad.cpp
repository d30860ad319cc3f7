// PADC, PADL and PADR.
#include <string>

#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_errors.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

// The pad character: a blank when the argument is absent, the character of a one-character
// text, and an error for anything else.
char PadCharacter(TxbExpFunction& call) {
  if (!call.HasArgument(2)) return ' ';
  TxbExpValue& pad = call.Scratch(0);
  std::uint8_t type = call.GetArgument(2, xb_type::Any, pad);
  if (type != xb_type::Text || pad.MakeText().size() != 1) RaiseInvalidValue("Char");
  return pad.text()[0];
}

}  // namespace

// The working state of one call (pad character, text, width) lives in this frame, not in the
// shared function object, so that a padding call nested in another's arguments cannot
// overwrite the outer call's state.
bool TxbUDFPadMain::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  char pad = PadCharacter(call);
  std::string& text = TextArgument(call, 0, value);
  long long width = RoundedCount(NumberArgument(call, 1, call.Scratch(1)));
  long long length = static_cast<long long>(text.size());
  if (length < width) {
    CheckBuiltLength(width);
    auto missing = static_cast<std::size_t>(width - length);
    std::size_t left = LeftPad(missing);
    text.insert(0, left, pad);
    text.append(missing - left, pad);
  }
  type = xb_type::Text;
  return true;
}

}  // namespace tables
