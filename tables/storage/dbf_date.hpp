#pragma once
// TxbDBFDate: the process-wide date conversion shared by all tables. Dates are Julian day
// numbers (1 January 1980 is 2,444,240); 0 or less is the empty date. What depends on the
// machine (today, its short date format, the century of a two-digit year) is taken from the
// machine the caller names: the table's or the expression's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/machine.hpp"

namespace tables {

struct CalendarDate {
  int year = 0, month = 0, day = 0;
};

class TxbDBFDate {
 public:
  // Julian day of the system date-time type's day 0 (30 December 1899).
  static constexpr std::int32_t kJulianOffset = 2415019;

  std::int32_t Today(platform::Machine& machine) const;
  // "yyyymmdd" for a day > 0, eight blanks otherwise.
  std::string StorageText(std::int32_t julian) const;
  // The system short date format upper-cased, widened to "YYYY" while the century flag is set.
  std::string DisplayFormat(platform::Machine& machine) const;
  std::string DisplayText(platform::Machine& machine, std::int32_t julian) const;
  // Text to day: blank or "00000000" is 0; eight digits are yyyymmdd (an impossible date gives
  // kJulianOffset); other text goes through the short date format. Nothing when it does not
  // convert.
  std::optional<std::int32_t> TryFromText(platform::Machine& machine, std::string_view text) const;
  // As TryFromText; raises EConvertError "'text' is not a valid date" when it does not convert.
  std::int32_t FromText(platform::Machine& machine, std::string_view text) const;
  // 1 (Sunday) to 7 (Saturday); 0 for a day <= 0.
  int DayOfWeek(std::int32_t julian) const;
  CalendarDate Split(std::int32_t julian) const;
  // Nothing when the parts do not form a date.
  static std::optional<std::int32_t> FromCalendar(int year, int month, int day);

  bool fourDigitYear() const { return fourDigitYear_; }
  void setFourDigitYear(bool on) { fourDigitYear_ = on; }

 private:
  bool fourDigitYear_ = true;
};

// The process-wide date object (created with the engine, see XbEngine).
TxbDBFDate& XbDate();

}  // namespace tables
