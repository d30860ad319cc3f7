#pragma once
// Dates and date-times as the tool writes and reads them on the command line and in exports:
// dates "YYYY-MM-DD" (and "yyyymmdd" on input), date-times "YYYY-MM-DDTHH:MM:SS.mmm". Date-time
// fields of version 0x30 tables store a Julian day number and the milliseconds since midnight,
// each as a 4-byte little-endian integer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tools::xbtool {

struct StoredTime {
  std::int32_t day = 0;           // Julian day number
  std::int32_t milliseconds = 0;  // since midnight, 0 to 86,399,999
};

// The date-time in a field's 8 bytes: a day of four blanks counts as day 2415019 and
// milliseconds of four blanks as 0; milliseconds outside one day carry into the day. Nothing
// when the stored day number is 0.
std::optional<StoredTime> StoredTimeOf(const std::uint8_t* bytes);
void StoreTime(const StoredTime& time, std::uint8_t* bytes);

std::string TimeText(const StoredTime& time);
// "YYYY-MM-DD", optionally followed by "T" or a blank and "HH:MM", ":SS" and ".mmm" (one to
// three digits). Nothing when the text is no such date-time.
std::optional<StoredTime> ParseTimeText(std::string_view text);

// "yyyymmdd" or "YYYY-MM-DD" as a Julian day number; nothing when the text is no date.
std::optional<std::int32_t> ParseDateText(std::string_view text);

}  // namespace tools::xbtool
