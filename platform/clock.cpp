#include "platform/clock.hpp"

#include <string>

#include "platform/exception.hpp"

namespace platform {
namespace {

constexpr std::int64_t kDaysFrom1601To1970 = 134774;
constexpr std::uint64_t kTicksPerMillisecond = 10000;
constexpr std::uint64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr std::uint64_t kSecondsPerDay = 86400;

// Days since 1 January 1970 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2));
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool Within(int value, int low, int high) {
  return value >= low && value <= high;
}

}  // namespace

LocalTime FileTimeToLocal(FileTime time) {
  const std::uint64_t seconds = time / kTicksPerSecond;
  const auto days = static_cast<std::int64_t>(seconds / kSecondsPerDay);
  const std::uint64_t secondOfDay = seconds % kSecondsPerDay;
  LocalTime local;
  CivilFromDays(days - kDaysFrom1601To1970, local.year, local.month, local.day);
  local.dayOfWeek = static_cast<int>((days + 1) % 7);  // 1 January 1601 was a Monday
  local.hour = static_cast<int>(secondOfDay / 3600);
  local.minute = static_cast<int>(secondOfDay / 60 % 60);
  local.second = static_cast<int>(secondOfDay % 60);
  local.millisecond = static_cast<int>(time % kTicksPerSecond / kTicksPerMillisecond);
  return local;
}

FileTime LocalToFileTime(const LocalTime& time) {
  const bool valid = Within(time.year, 1601, 30827) && Within(time.month, 1, 12) &&
                     Within(time.day, 1, DaysInMonth(time.year, time.month)) &&
                     Within(time.hour, 0, 23) && Within(time.minute, 0, 59) &&
                     Within(time.second, 0, 59) && Within(time.millisecond, 0, 999);
  if (!valid) throw ERangeError("Invalid date and time");
  const std::int64_t days =
      DaysFromCivil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) +
      kDaysFrom1601To1970;
  const std::uint64_t seconds =
      static_cast<std::uint64_t>(days) * kSecondsPerDay +
      static_cast<std::uint64_t>(time.hour * 3600 + time.minute * 60 + time.second);
  return seconds * kTicksPerSecond +
         static_cast<std::uint64_t>(time.millisecond) * kTicksPerMillisecond;
}

}  // namespace platform
