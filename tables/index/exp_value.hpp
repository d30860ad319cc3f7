#pragma once
// TxbExpValue: the variant an evaluation writes into (unassigned, text, number or boolean).
// Its text buffer keeps its capacity across evaluations, so that per-record evaluation of
// fixed-width results never allocates and text results mostly reuse the buffer.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/machine.hpp"

namespace tables {

class TxbExpValue {
 public:
  enum class Kind : std::uint8_t { Unassigned, Text, Number, Boolean };

  Kind kind() const { return kind_; }
  bool IsUnassigned() const { return kind_ == Kind::Unassigned; }
  // Unassigned and empty text are alike in comparisons and concatenations.
  bool IsEmptyText() const {
    return kind_ == Kind::Unassigned || (kind_ == Kind::Text && text_.empty());
  }

  void Clear() { kind_ = Kind::Unassigned; }
  void SetNumber(double value) { kind_ = Kind::Number, number_ = value; }
  void SetBoolean(bool value) { kind_ = Kind::Boolean, boolean_ = value; }
  void SetText(std::string_view text);
  // Makes the value an empty text and hands out its buffer for filling.
  std::string& NewText();

  // The value as stored; only meaningful for the matching kind.
  double number() const { return number_; }
  bool boolean() const { return boolean_; }
  const std::string& text() const { return text_; }

  // Conversions by the variant rules. Text to number reads the machine's decimal separator and
  // raises EConvertError when the text is not a number; true is -1 as a number; a number is
  // true when not 0; text is true for "TRUE", false for "FALSE" (any case), else as a number.
  double ToNumber(platform::Machine& machine) const {
    return kind_ == Kind::Number ? number_ : ConvertedNumber(machine);
  }
  bool ToBoolean(platform::Machine& machine) const;
  // Converts the value to text in place ("True"/"False", shortest number form, unassigned to
  // empty) and hands out the buffer for in-place edits.
  std::string& MakeText();

 private:
  // ToNumber for the kinds other than Number.
  double ConvertedNumber(platform::Machine& machine) const;

  Kind kind_ = Kind::Unassigned;
  bool boolean_ = false;
  double number_ = 0;
  std::string text_;
};

// Compares two values by the variant rules: texts (unassigned counting as empty) byte by byte
// as unsigned values, then by length; two booleans false before true; any other pair as
// numbers (text read with the machine's decimal separator). Returns <0, 0 or >0.
int CompareValues(platform::Machine& machine, const TxbExpValue& left, const TxbExpValue& right);

}  // namespace tables
