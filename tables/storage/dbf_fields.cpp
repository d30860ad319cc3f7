#include "tables/storage/dbf_fields.hpp"

#include <cmath>
#include <cstring>
#include <limits>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/number_text.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kNameCharacters = 11;
constexpr double kMillisecondsPerDay = 86400000.0;
constexpr std::int32_t kTimeEpochDay = 1721425;  // day 0 of the T field's millisecond count
constexpr std::int32_t kBlankTimeDay = 2415019;  // a T day of four blanks
constexpr double kCurrencyScale = 10000.0;
constexpr std::string_view kTrueLetters = "TtYyJj";
constexpr std::string_view kFalseLetters = "FfNn";

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimRight(text);
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  return text;
}

bool NameMatches(const std::string& fieldName, std::string_view name) {
  if (fieldName.size() != name.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (UpperAscii(fieldName[i]) != UpperAscii(name[i])) return false;
  }
  return true;
}

bool AllBlank(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[i] != ' ') return false;
  }
  return true;
}

// Whether a value truncated toward zero fits the integer type T.
template <typename T>
bool FitsTruncated(double value) {
  if (!std::isfinite(value)) return false;
  const double truncated = std::trunc(value);
  return truncated >= static_cast<double>(std::numeric_limits<T>::min()) &&
         truncated < -static_cast<double>(std::numeric_limits<T>::min());
}

bool IsMemoType(char type) {
  return type == 'B' || type == 'G' || type == 'M';
}

// Only the days of the years 1 to 9999 have a "yyyymmdd" text.
bool HasStorageText(std::int32_t julian) {
  const CalendarDate date = XbDate().Split(julian);
  return date.year >= 1 && date.year <= 9999;
}

// Minimum stored width of a binary field type.
std::size_t BinaryWidth(char type) {
  return (type == 'B' || type == 'T' || type == 'Y') ? 8 : 4;
}

}  // namespace

const XbFieldDesc* XBO_dBaseFld::FieldDescByNumber(int n) const {
  if (n < 1 || n > FieldCount()) return nullptr;
  return &fields()[static_cast<std::size_t>(n - 1)];
}

const XbFieldDesc& XBO_dBaseFld::FieldDescByName(std::string_view name) const {
  std::string_view key = TrimRight(name).substr(0, kNameCharacters);
  for (const XbFieldDesc& field : fields()) {
    if (NameMatches(field.name, key)) return field;
  }
  const_cast<XBO_dBaseFld*>(this)->Raise(xb_code::FieldNameInvalid, xb_sub::FieldLookup,
                                         path() + "->" + std::string(name));
}

void XBO_dBaseFld::NoSuchField(int n) const {
  const_cast<XBO_dBaseFld*>(this)->Raise(xb_code::FieldNameInvalid, xb_sub::FieldLookup,
                                         path() + "->" + std::to_string(n));
}

const XbFieldDesc& XBO_dBaseFld::FieldOfType(std::string_view name, char expected) const {
  const XbFieldDesc& field = FieldDescByName(name);
  std::string_view accepted(&expected, 1);
  if (expected == 'N') accepted = "BFGIMN";
  if (expected == 'G') accepted = "BGM";
  if (accepted.find(field.type) == std::string_view::npos) {
    const_cast<XBO_dBaseFld*>(this)->FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck,
                                                field);
  }
  return field;
}

std::string XBO_dBaseFld::FieldName(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? field->name : std::string();
}

char XBO_dBaseFld::FieldType(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? field->type : '\0';
}

int XBO_dBaseFld::FieldLength(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? field->length : 0;
}

int XBO_dBaseFld::FieldDecimals(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? field->decimals : 0;
}

int XBO_dBaseFld::FieldOffset(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? field->offset : 0;
}

std::string_view XBO_dBaseFld::Text(const XbFieldDesc& field) const {
  return {reinterpret_cast<const char*>(Bytes(field)), static_cast<std::size_t>(field.length)};
}

bool XBO_dBaseFld::Binary(const XbFieldDesc& field) const {
  return XbIsBinaryField(field.type, version());
}

bool XBO_dBaseFld::Numeric(const XbFieldDesc& field) const {
  switch (field.type) {
    case 'N':
    case 'F':
    case 'B':
    case 'G':
    case 'M':
      return true;
    case 'I':
    case 'T':
    case 'Y':
      return version() == xb_version::Visual;
    default:
      return false;
  }
}

void XBO_dBaseFld::FieldError(int code, int subcode, const XbFieldDesc& field) {
  Raise(code, subcode, path() + "->" + field.name);
}

void XBO_dBaseFld::ConversionError(const char* what, const XbFieldDesc& field) {
  Raise(xb_code::FieldTypeIncorrect, xb_sub::OwnText,
        what + std::string(XbBaseName(path())) + "->" + field.name + " (" +
            std::string(Text(field)) + ")");
}

void XBO_dBaseFld::TooLarge(const XbFieldDesc& field, double value) {
  std::string text;
  XbFormatFixed(value, field.decimals, text);
  Raise(xb_code::NumberTooLarge, xb_sub::NumberConversion, field.name + " - " + text);
}

std::string XBO_dBaseFld::GetFieldText(int n) const {
  return std::string(Text(Field(n)));
}

std::string XBO_dBaseFld::GetFieldText(std::string_view name) const {
  return std::string(Text(FieldDescByName(name)));
}

void XBO_dBaseFld::SetFieldText(int n, std::string_view text) {
  const XbFieldDesc& field = Field(n);
  const auto width = static_cast<std::size_t>(field.length);
  std::uint8_t* bytes = Bytes(field);
  text = text.substr(0, width);
  std::memset(bytes, ' ', width);
  const bool leftAligned = field.type == 'C' || field.type == 'D' || field.type == 'L';
  std::memcpy(bytes + (leftAligned ? 0 : width - text.size()), text.data(), text.size());
  MarkFieldChanged(n);
}

void XBO_dBaseFld::SetFieldText(std::string_view name, std::string_view text) {
  SetFieldText(FieldDescByName(name).number, text);
}

std::string_view XBO_dBaseFld::FieldRawText(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  if (!field) return {};
  std::string_view text = Text(*field);
  return text.substr(0, text.find('\0'));
}

std::string_view XBO_dBaseFld::FieldStoredText(int n) const {
  const XbFieldDesc* field = FieldDescByNumber(n);
  return field ? Text(*field) : std::string_view{};
}

double XBO_dBaseFld::ReadBinaryNumber(const XbFieldDesc& field) {
  if (static_cast<std::size_t>(field.length) < BinaryWidth(field.type)) {
    FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  }
  const std::uint8_t* bytes = Bytes(field);
  switch (field.type) {
    case 'B':
      return ReadLEDouble(bytes);
    case 'Y':
      return static_cast<double>(static_cast<std::int64_t>(ReadLE64(bytes))) / kCurrencyScale;
    case 'T': {
      const std::int32_t day =
          AllBlank(bytes, 4) ? kBlankTimeDay : static_cast<std::int32_t>(ReadLE32(bytes));
      const std::int32_t milliseconds =
          AllBlank(bytes + 4, 4) ? 0 : static_cast<std::int32_t>(ReadLE32(bytes + 4));
      return (static_cast<double>(day) - kTimeEpochDay) * kMillisecondsPerDay + milliseconds;
    }
    default:  // I, and the block numbers of G and M
      return static_cast<std::int32_t>(ReadLE32(bytes));
  }
}

double XBO_dBaseFld::ReadNumber(const XbFieldDesc& field) {
  // N and F, by far the most read, are decimal text in every version: no further checks.
  if (field.type != 'N' && field.type != 'F') {
    if (!Numeric(field)) FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
    if (Binary(field)) return ReadBinaryNumber(field);
  }
  double value = 0;
  if (XbParseFieldLayout(Text(field), field.decimals, value)) return value;
  if (!XbParseNumber(Text(field), value)) ConversionError("Invalid number in field ", field);
  return value;
}

bool XBO_dBaseFld::StoreBinaryNumber(const XbFieldDesc& field, double value) {
  if (static_cast<std::size_t>(field.length) < BinaryWidth(field.type)) return false;
  std::uint8_t* bytes = Bytes(field);
  switch (field.type) {
    case 'B':
      WriteLEDouble(bytes, value);
      return true;
    case 'Y': {
      const double scaled = value * kCurrencyScale;
      if (!FitsTruncated<std::int64_t>(scaled)) return false;
      WriteLE64(bytes, static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
      return true;
    }
    case 'T': {
      if (!std::isfinite(value)) return false;
      const double days = std::trunc(value / kMillisecondsPerDay);
      const double day = days + kTimeEpochDay;
      if (!FitsTruncated<std::int32_t>(day)) return false;
      const double milliseconds = std::trunc(value - days * kMillisecondsPerDay);
      WriteLE32(bytes, static_cast<std::uint32_t>(static_cast<std::int32_t>(day)));
      WriteLE32(bytes + 4, static_cast<std::uint32_t>(static_cast<std::int32_t>(milliseconds)));
      return true;
    }
    default:  // I, and the block numbers of G and M
      if (!FitsTruncated<std::int32_t>(value)) return false;
      WriteLE32(bytes, static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
      return true;
  }
}

bool XBO_dBaseFld::StoreNumber(const XbFieldDesc& field, double value) {
  if (Binary(field)) return StoreBinaryNumber(field, value);
  return XbFormatNumber(value, field.length, field.decimals, Bytes(field));
}

double XBO_dBaseFld::GetFieldNumber(int n) {
  return ReadNumber(Field(n));
}

double XBO_dBaseFld::FieldNumber(int n) {
  return ReadNumber(Field(n));
}

double XBO_dBaseFld::GetFieldNumber(std::string_view name) {
  return ReadNumber(FieldOfType(name, 'N'));
}

void XBO_dBaseFld::SetFieldNumber(int n, double value) {
  const XbFieldDesc& field = Field(n);
  if (!Numeric(field)) FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  if (!StoreNumber(field, value)) TooLarge(field, value);
  MarkFieldChanged(n);
}

void XBO_dBaseFld::SetFieldNumber(std::string_view name, double value) {
  SetFieldNumber(FieldOfType(name, 'N').number, value);
}

std::int32_t XBO_dBaseFld::GetFieldDate(int n) {
  const XbFieldDesc& field = Field(n);
  if (field.type != 'D') FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  std::optional<std::int32_t> day = XbDate().TryFromText(machine(), Text(field));
  if (!day) ConversionError("Invalid date in field ", field);
  return *day;
}

std::int32_t XBO_dBaseFld::GetFieldDate(std::string_view name) {
  return GetFieldDate(FieldOfType(name, 'D').number);
}

void XBO_dBaseFld::SetFieldDate(int n, std::int32_t julian) {
  const XbFieldDesc& field = Field(n);
  if (field.type != 'D') FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  if (julian == -1 || (julian > 0 && !HasStorageText(julian))) {
    FieldError(xb_code::FieldTypeIncorrect, xb_sub::InvalidDate, field);
  }
  SetFieldText(n, XbDate().StorageText(julian));
}

void XBO_dBaseFld::SetFieldDate(std::string_view name, std::int32_t julian) {
  SetFieldDate(FieldOfType(name, 'D').number, julian);
}

bool XBO_dBaseFld::GetFieldLogical(int n) {
  const XbFieldDesc& field = Field(n);
  if (field.type != 'L') FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  return field.length > 0 &&
         kTrueLetters.find(static_cast<char>(Bytes(field)[0])) != std::string_view::npos;
}

bool XBO_dBaseFld::GetFieldLogical(std::string_view name) {
  return GetFieldLogical(FieldOfType(name, 'L').number);
}

void XBO_dBaseFld::SetFieldLogical(int n, bool value) {
  const XbFieldDesc& field = Field(n);
  if (field.type != 'L') FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  SetFieldText(n, value ? "T" : "F");
}

void XBO_dBaseFld::SetFieldLogical(std::string_view name, bool value) {
  SetFieldLogical(FieldOfType(name, 'L').number, value);
}

void XBO_dBaseFld::SetFieldLogicalText(int n, std::string_view text) {
  const XbFieldDesc& field = Field(n);
  if (field.type != 'L') FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  bool value = false;
  if (text.empty()) {
    value = false;
  } else if (kTrueLetters.find(text.front()) != std::string_view::npos) {
    value = true;
  } else if (kFalseLetters.find(text.front()) != std::string_view::npos) {
    value = false;
  } else {
    double number = 0;
    if (!XbParseNumber(text, number)) {
      FieldError(xb_code::FieldTypeIncorrect, xb_sub::LogicalConversion, field);
    }
    value = number != 0;
  }
  SetFieldLogical(n, value);
}

void XBO_dBaseFld::SetFieldLogicalText(std::string_view name, std::string_view text) {
  SetFieldLogicalText(FieldOfType(name, 'L').number, text);
}

std::uint32_t XBO_dBaseFld::MemoBlock(int n) {
  const XbFieldDesc& field = Field(n);
  // In version 0x30 tables B holds a double, not a block number.
  if (!IsMemoType(field.type) || (Binary(field) && field.type == 'B')) {
    FieldError(xb_code::FieldTypeIncorrect, xb_sub::FieldTypeCheck, field);
  }
  const double block = ReadNumber(field);
  if (block < 0 || block > std::numeric_limits<std::uint32_t>::max() ||
      block != std::trunc(block)) {
    FieldError(xb_code::MemoFormat, xb_sub::MemoBlockFormat, field);
  }
  return static_cast<std::uint32_t>(block);
}

std::string XBO_dBaseFld::GetMemoText(int n) {
  const std::uint32_t block = MemoBlock(n);
  if (block == 0 || !hasMemo()) return {};
  return MemoFile().MemoText(block);
}

std::string XBO_dBaseFld::GetMemoText(std::string_view name) {
  return GetMemoText(FieldOfType(name, 'G').number);
}

void XBO_dBaseFld::SetMemoText(int n, std::string_view text) {
  const XbFieldDesc& field = Field(n);
  std::uint32_t block = MemoBlock(n);
  if (!hasMemo()) {
    Raise(xb_code::FieldTypeIncorrect, xb_sub::OwnText,
          "Table has no memo file for field " + path() + "->" + field.name);
  }
  const std::uint32_t oldBlock = block;
  MemoFile().MemoWrite(reinterpret_cast<const std::uint8_t*>(text.data()), block,
                       static_cast<std::uint32_t>(text.size()));
  if (block != oldBlock) SetFieldNumber(n, block);
}

void XBO_dBaseFld::SetMemoText(std::string_view name, std::string_view text) {
  SetMemoText(FieldOfType(name, 'G').number, text);
}

void XBO_dBaseFld::BlankRecord() {
  std::memset(recordImage(), ' ', recordLength());
  for (const XbFieldDesc& field : fields()) {
    // A field too narrow for a formatted 0 stays blank, which reads as 0 as well.
    if (field.type == 'N' || field.type == 'F' || Binary(field)) StoreNumber(field, 0);
  }
  MarkAllFieldsChanged();
  StatusNotify(xb_status::RecordBlanked);
}

std::string XBO_dBaseFld::NumberDisplay(const XbFieldDesc& field) {
  std::string_view text = Trim(Text(field));
  if (!text.empty()) return std::string(text);
  std::string zero(static_cast<std::size_t>(field.length), ' ');
  if (XbFormatNumber(0, field.length, field.decimals,
                     reinterpret_cast<std::uint8_t*>(zero.data()))) {
    return zero;
  }
  XbFormatFixed(0, field.decimals, zero);
  return zero;
}

std::string XBO_dBaseFld::MemoDisplay(const XbFieldDesc& field) {
  const bool present = version() == xb_version::Visual ? ReadNumber(field) > 0.1
                                                       : Trim(Text(field)) > std::string_view("0");
  switch (field.type) {
    case 'G':
      return present ? "-GENERAL--" : "-general--";
    case 'B':
      return present ? "--BINARY--" : "--binary--";
    default:
      return present ? "---MEMO---" : "---memo---";
  }
}

std::string XBO_dBaseFld::GetFieldDisplay(int n) {
  const XbFieldDesc& field = Field(n);
  switch (field.type) {
    case 'C':
      return std::string(TrimRight(Text(field)));
    case 'N':
    case 'F':
      return NumberDisplay(field);
    case 'D':
      return XbDate().DisplayText(machine(), GetFieldDate(n));
    case 'L':
      return GetFieldLogical(n) ? "T" : "F";
    case 'M':
    case 'G':
    case 'B':
      return MemoDisplay(field);
    default:
      break;
  }
  if (!Binary(field)) return std::string(TrimRight(Text(field)));
  std::string text;
  XbFormatFixed(ReadNumber(field), field.type == 'Y' ? 4 : 0, text);
  return text;
}

std::string XBO_dBaseFld::GetFieldDisplay(std::string_view name) {
  return GetFieldDisplay(FieldDescByName(name).number);
}

}  // namespace tables
