#include "framework/db/field_value.hpp"

#include <charconv>
#include <cstdio>

namespace db {
namespace {

constexpr std::int32_t kJulianDayOf1970 = 2440588;

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads exactly `digits` decimal digits at `pos`; false when they are not there.
bool ReadNumber(std::string_view text, std::size_t pos, std::size_t digits, int& value) {
  if (pos + digits > text.size()) return false;
  const char* first = text.data() + pos;
  const auto [end, error] = std::from_chars(first, first + digits, value);
  return error == std::errc() && end == first + digits;
}

}  // namespace

std::string_view FieldTypeName(FieldType type) {
  switch (type) {
    case FieldType::String:
      return "String";
    case FieldType::SmallInt:
      return "SmallInt";
    case FieldType::Integer:
      return "Integer";
    case FieldType::LargeInt:
      return "LargeInt";
    case FieldType::Float:
      return "Float";
    case FieldType::Boolean:
      return "Boolean";
    case FieldType::Date:
      return "Date";
    case FieldType::DateTime:
      return "DateTime";
    case FieldType::Memo:
      return "Memo";
    case FieldType::Blob:
      return "Blob";
  }
  return "Unknown";
}

bool IsIntegerType(FieldType type) {
  return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::LargeInt;
}

bool IsBlobType(FieldType type) {
  return type == FieldType::Memo || type == FieldType::Blob;
}

// Days from civil and back after H. Hinnant's algorithms (era-based, exact for all years).
std::int32_t JulianDayOf(const CivilDate& date) {
  const int year = date.year - (date.month <= 2 ? 1 : 0);
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468 + kJulianDayOf1970;
}

CivilDate CivilDateOf(std::int32_t julianDay) {
  const int days = julianDay - kJulianDayOf1970 + 719468;
  const int era = (days >= 0 ? days : days - 146096) / 146097;
  const int dayOfEra = days - era * 146097;
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

bool IsValidCivilDate(const CivilDate& date) {
  return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
         date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

std::string FormatDateTime(const TDateTime& value, bool withTime) {
  const CivilDate date = CivilDateOf(value.julianDay);
  char text[32];
  int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  if (withTime) {
    const int seconds = value.milliseconds / 1000;
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                            " %02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    if (value.milliseconds % 1000 != 0) {
      std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%03d",
                    value.milliseconds % 1000);
    }
  }
  return text;
}

std::optional<TDateTime> ParseDateTime(std::string_view text) {
  CivilDate date;
  if (!ReadNumber(text, 0, 4, date.year) || text.size() < 10 || text[4] != '-' || text[7] != '-' ||
      !ReadNumber(text, 5, 2, date.month) || !ReadNumber(text, 8, 2, date.day) ||
      !IsValidCivilDate(date)) {
    return std::nullopt;
  }
  TDateTime result{JulianDayOf(date), 0};
  if (text.size() == 10) return result;
  int hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
  if (text.size() < 19 || text[10] != ' ' || text[13] != ':' || text[16] != ':' ||
      !ReadNumber(text, 11, 2, hours) || !ReadNumber(text, 14, 2, minutes) ||
      !ReadNumber(text, 17, 2, seconds) || hours > 23 || minutes > 59 || seconds > 59) {
    return std::nullopt;
  }
  if (text.size() != 19 &&
      (text.size() != 23 || text[19] != '.' || !ReadNumber(text, 20, 3, milliseconds))) {
    return std::nullopt;
  }
  result.milliseconds = ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
  return result;
}

}  // namespace db
