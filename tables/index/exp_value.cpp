#include "tables/index/exp_value.hpp"

#include <cstring>

#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "tables/index/exp_number_text.hpp"

namespace tables {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

int CompareBytes(std::string_view left, std::string_view right) {
  std::size_t common = left.size() < right.size() ? left.size() : right.size();
  int result = common == 0 ? 0 : std::memcmp(left.data(), right.data(), common);
  if (result != 0) return result;
  if (left.size() == right.size()) return 0;
  return left.size() < right.size() ? -1 : 1;
}

bool IsTextLike(const TxbExpValue& value) {
  return value.kind() == TxbExpValue::Kind::Text || value.IsUnassigned();
}

}  // namespace

void TxbExpValue::SetText(std::string_view text) {
  kind_ = Kind::Text;
  text_.assign(text.data(), text.size());
}

std::string& TxbExpValue::NewText() {
  kind_ = Kind::Text;
  text_.clear();
  return text_;
}

double TxbExpValue::ConvertedNumber(platform::Machine& machine) const {
  switch (kind_) {
    case Kind::Number:
      return number_;
    case Kind::Boolean:
      return boolean_ ? -1.0 : 0.0;
    case Kind::Text: {
      double value = 0;
      char separator = machine.system().DecimalSeparator();
      if (!TryTextToFloat(text_, separator, value)) {
        throw platform::EConvertError("'" + text_ + "' is not a valid floating point value");
      }
      return value;
    }
    case Kind::Unassigned:
      break;
  }
  return 0;
}

bool TxbExpValue::ToBoolean(platform::Machine& machine) const {
  switch (kind_) {
    case Kind::Boolean:
      return boolean_;
    case Kind::Number:
      return number_ != 0;
    case Kind::Text: {
      if (EqualsIgnoringCase(text_, "TRUE")) return true;
      if (EqualsIgnoringCase(text_, "FALSE")) return false;
      double value = 0;
      char separator = machine.system().DecimalSeparator();
      if (!TryTextToFloat(text_, separator, value)) {
        throw platform::EConvertError("'" + text_ + "' is not a valid boolean value");
      }
      return value != 0;
    }
    case Kind::Unassigned:
      break;
  }
  return false;
}

std::string& TxbExpValue::MakeText() {
  switch (kind_) {
    case Kind::Text:
      break;
    case Kind::Number:
      text_ = ShortestNumberText(number_);
      break;
    case Kind::Boolean:
      text_ = boolean_ ? "True" : "False";
      break;
    case Kind::Unassigned:
      text_.clear();
      break;
  }
  kind_ = Kind::Text;
  return text_;
}

int CompareValues(platform::Machine& machine, const TxbExpValue& left, const TxbExpValue& right) {
  if (IsTextLike(left) && IsTextLike(right)) {
    std::string_view l = left.IsUnassigned() ? std::string_view() : left.text();
    std::string_view r = right.IsUnassigned() ? std::string_view() : right.text();
    return CompareBytes(l, r);
  }
  if (left.kind() == TxbExpValue::Kind::Boolean && right.kind() == TxbExpValue::Kind::Boolean) {
    return static_cast<int>(left.boolean()) - static_cast<int>(right.boolean());
  }
  double l = left.ToNumber(machine), r = right.ToNumber(machine);
  return l < r ? -1 : (l > r ? 1 : 0);
}

}  // namespace tables
