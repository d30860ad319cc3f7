// Built-ins that reshape a text: trimming, casing, PROPER and SOUNDEX.
#include <cstring>
#include <string_view>

#include "platform/machine.hpp"
#include "tables/index/exp_builtins.hpp"
#include "tables/index/exp_udf_support.hpp"

namespace tables {
namespace {

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

void TrimLeft(std::string& text) {
  std::size_t first = 0;
  while (first < text.size() && IsTrimmed(text[first]))
    ++first;
  text.erase(0, first);
}

void TrimRight(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsTrimmed(text[end - 1]))
    --end;
  text.resize(end);
}

bool ReturnText(std::uint8_t& type) {
  type = xb_type::Text;
  return true;
}

// UPPER and LOWER see the text only up to its first zero byte.
void CutAtZero(std::string& text) {
  std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
}

// After one of these (or at the start) PROPER starts a word.
bool StartsWord(unsigned char previous) {
  static constexpr std::string_view kMarks = "!#$%&()*+,-./:;<=>?@[\\]^_{}~\"|";
  return previous == ' ' || previous == 127 ||
         kMarks.find(static_cast<char>(previous)) != std::string_view::npos;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The SOUNDEX digit of an upper-case letter, or 0 when it has none.
char SoundexDigit(char c) {
  switch (c) {
    case 'B':
    case 'F':
    case 'P':
    case 'V':
      return '1';
    case 'C':
    case 'G':
    case 'J':
    case 'K':
    case 'Q':
    case 'S':
    case 'X':
    case 'Z':
      return '2';
    case 'D':
    case 'T':
      return '3';
    case 'L':
      return '4';
    case 'M':
    case 'N':
      return '5';
    case 'R':
      return '6';
    default:
      return 0;
  }
}

}  // namespace

bool TxbUDFAllTrim::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  TrimRight(text);
  TrimLeft(text);
  return ReturnText(type);
}

bool TxbUDFLTrim::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  TrimLeft(TextArgument(call, 0, value));
  return ReturnText(type);
}

bool TxbUDFTrim::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  TrimRight(TextArgument(call, 0, value));
  return ReturnText(type);
}

bool TxbUDFUpper::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  CutAtZero(text);
  call.machine().codePages().CharUpper(text.data(), text.size());
  return ReturnText(type);
}

bool TxbUDFLower::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  CutAtZero(text);
  call.machine().codePages().CharLower(text.data(), text.size());
  return ReturnText(type);
}

bool TxbUDFProper::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  platform::CodePages& casing = call.machine().codePages();
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool upper = i == 0 || StartsWord(static_cast<unsigned char>(text[i - 1]));
    if (upper) {
      casing.CharUpper(&text[i], 1);
    } else {
      casing.CharLower(&text[i], 1);
    }
  }
  return ReturnText(type);
}

bool TxbUDFSoundex::Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) {
  std::string& text = TextArgument(call, 0, value);
  if (text.empty()) {
    text = "0000";
    return ReturnText(type);
  }
  // The code string is built over the text in place: its first character, then the digits.
  char first = AsciiUpper(text[0]);
  char previous = first;
  std::size_t length = 1;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char digit = SoundexDigit(AsciiUpper(text[i]));
    if (digit == 0) continue;
    if (digit != previous && length < 4) text[length++] = digit;
    previous = digit;
  }
  text[0] = first;
  text.resize(length);
  text.append(4 - length, '0');
  return ReturnText(type);
}

}  // namespace tables
