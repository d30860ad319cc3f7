#pragma once
// The value types fields hold: field types, date-times as a Julian day with the milliseconds
// of that day, and FieldValue, the holder through which field values pass between fields and
// datasets. A missing value (null) is an empty std::optional<FieldValue>.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace db {

enum class FieldType {
  String,
  SmallInt,
  Integer,
  LargeInt,
  Float,
  Boolean,
  Date,
  DateTime,
  Memo,
  Blob
};

// "String", "LargeInt", ... for messages.
std::string_view FieldTypeName(FieldType type);
bool IsIntegerType(FieldType type);
bool IsBlobType(FieldType type);

struct TDateTime {
  std::int32_t julianDay = 0;
  std::int32_t milliseconds = 0;  // since the start of the day
  auto operator<=>(const TDateTime&) const = default;
};

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// Proleptic Gregorian calendar; Julian day 2451545 is 2000-01-01.
std::int32_t JulianDayOf(const CivilDate& date);
CivilDate CivilDateOf(std::int32_t julianDay);
bool IsValidCivilDate(const CivilDate& date);
// "yyyy-mm-dd", with " hh:nn:ss" (and ".zzz" when there are milliseconds) when `withTime`.
std::string FormatDateTime(const TDateTime& value, bool withTime);
// Reads the forms FormatDateTime writes; nothing for any other text or an impossible date.
std::optional<TDateTime> ParseDateTime(std::string_view text);

using FieldValue = std::variant<std::string, std::int64_t, double, bool, TDateTime>;
using OptionalValue = std::optional<FieldValue>;

}  // namespace db
