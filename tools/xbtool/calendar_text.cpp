#include "tools/xbtool/calendar_text.hpp"

#include <cstdio>

#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"

namespace tools::xbtool {
namespace {

constexpr std::int32_t kBlankDay = 2415019;
constexpr std::int64_t kMillisecondsPerDay = 86400000;

bool AllBlank(const std::uint8_t* bytes) {
  return bytes[0] == ' ' && bytes[1] == ' ' && bytes[2] == ' ' && bytes[3] == ' ';
}

// Reads exactly `digits` digits at text[at]; nothing when they are not all there.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t digits) {
  if (text.size() < at + digits) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::optional<std::int32_t> DayOf(std::optional<int> year, std::optional<int> month,
                                  std::optional<int> day) {
  if (!year || !month || !day) return std::nullopt;
  return tables::TxbDBFDate::FromCalendar(*year, *month, *day);
}

// "HH:MM[:SS[.m[m[m]]]]" as milliseconds since midnight.
std::optional<std::int32_t> ParseClock(std::string_view text) {
  const auto hour = Digits(text, 0, 2), minute = Digits(text, 3, 2);
  if (!hour || !minute || text[2] != ':' || *hour > 23 || *minute > 59) return std::nullopt;
  int second = 0, millisecond = 0;
  if (text.size() > 5) {
    const auto seconds = Digits(text, 6, 2);
    if (text[5] != ':' || !seconds || *seconds > 59) return std::nullopt;
    second = *seconds;
    if (text.size() > 8) {
      const std::size_t digits = text.size() - 9;
      const auto fraction = Digits(text, 9, digits);
      if (text[8] != '.' || digits < 1 || digits > 3 || !fraction) return std::nullopt;
      millisecond = *fraction * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
    }
  }
  return ((*hour * 60 + *minute) * 60 + second) * 1000 + millisecond;
}

}  // namespace

std::optional<StoredTime> StoredTimeOf(const std::uint8_t* bytes) {
  const std::int64_t day =
      AllBlank(bytes) ? kBlankDay : static_cast<std::int32_t>(tables::ReadLE32(bytes));
  if (day == 0) return std::nullopt;
  const std::int64_t milliseconds =
      AllBlank(bytes + 4) ? 0 : static_cast<std::int32_t>(tables::ReadLE32(bytes + 4));
  std::int64_t carry = milliseconds / kMillisecondsPerDay;
  std::int64_t rest = milliseconds % kMillisecondsPerDay;
  if (rest < 0) rest += kMillisecondsPerDay, --carry;
  return StoredTime{static_cast<std::int32_t>(day + carry), static_cast<std::int32_t>(rest)};
}

void StoreTime(const StoredTime& time, std::uint8_t* bytes) {
  tables::WriteLE32(bytes, static_cast<std::uint32_t>(time.day));
  tables::WriteLE32(bytes + 4, static_cast<std::uint32_t>(time.milliseconds));
}

std::string TimeText(const StoredTime& time) {
  const tables::CalendarDate date = tables::XbDate().Split(time.day);
  const int seconds = time.milliseconds / 1000;
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", date.year, date.month,
                date.day, seconds / 3600, seconds / 60 % 60, seconds % 60,
                time.milliseconds % 1000);
  return text;
}

std::optional<StoredTime> ParseTimeText(std::string_view text) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto day = DayOf(Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2));
  if (!day) return std::nullopt;
  if (text.size() == 10) return StoredTime{*day, 0};
  if (text[10] != 'T' && text[10] != ' ') return std::nullopt;
  const auto milliseconds = ParseClock(text.substr(11));
  if (!milliseconds) return std::nullopt;
  return StoredTime{*day, *milliseconds};
}

std::optional<std::int32_t> ParseDateText(std::string_view text) {
  if (text.size() == 8) return DayOf(Digits(text, 0, 4), Digits(text, 4, 2), Digits(text, 6, 2));
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    return DayOf(Digits(text, 0, 4), Digits(text, 5, 2), Digits(text, 8, 2));
  }
  return std::nullopt;
}

}  // namespace tools::xbtool
