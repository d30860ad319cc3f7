#include "tables/storage/dbf_date.hpp"

#include <cctype>
#include <cstdio>
#include <vector>

#include "platform/exception.hpp"
#include "platform/machine.hpp"

namespace tables {
namespace {

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Gregorian calendar date -> Julian day number.
std::int32_t JulianDay(int year, int month, int day) {
  int a = (14 - month) / 12;
  int y = year + 4800 - a;
  int m = month + 12 * a - 3;
  return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

std::string TrimRight(std::string_view text) {
  auto end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// A two-digit year falls in the century window that ends 50 years after the current year.
int ExpandYear(int year, int digits, int current) {
  if (digits > 2) return year;
  int threshold = current - 50;
  int result = threshold / 100 * 100 + year;
  if (result < threshold) result += 100;
  return result;
}

// Reads a date by the order of the day, month and year parts in the short date format.
std::optional<std::int32_t> FromShortDate(std::string_view text, std::string_view format,
                                          int currentYear) {
  std::vector<char> order;
  for (char c : format) {
    char part = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if ((part == 'D' || part == 'M' || part == 'Y') && (order.empty() || order.back() != part)) {
      order.push_back(part);
    }
  }
  std::vector<std::pair<int, int>> numbers;  // value, digits
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ')
      ++i;
    std::size_t start = i;
    int value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && i - start < 9) {
      value = value * 10 + (text[i] - '0');
      ++i;
    }
    if (i == start) return std::nullopt;
    numbers.emplace_back(value, static_cast<int>(i - start));
    while (i < text.size() && text[i] == ' ')
      ++i;
    if (i < text.size()) {
      if (std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
      ++i;  // one separator
      if (i == text.size()) return std::nullopt;
    }
  }
  if (order.size() != 3 || (numbers.size() != 3 && numbers.size() != 2)) return std::nullopt;
  int year = currentYear, yearDigits = 4;
  int month = 0, day = 0;
  std::size_t n = 0;
  for (char part : order) {
    if (part == 'Y' && numbers.size() == 2) continue;  // day and month only: this year
    auto [value, digits] = numbers[n++];
    if (part == 'D') day = value;
    if (part == 'M') month = value;
    if (part == 'Y') year = value, yearDigits = digits;
  }
  return TxbDBFDate::FromCalendar(ExpandYear(year, yearDigits, currentYear), month, day);
}

}  // namespace

std::optional<std::int32_t> TxbDBFDate::FromCalendar(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return JulianDay(year, month, day);
}

CalendarDate TxbDBFDate::Split(std::int32_t julian) const {
  std::int64_t a = static_cast<std::int64_t>(julian) + 32044;
  std::int64_t b = (4 * a + 3) / 146097;
  std::int64_t c = a - 146097 * b / 4;
  std::int64_t d = (4 * c + 3) / 1461;
  std::int64_t e = c - 1461 * d / 4;
  std::int64_t m = (5 * e + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
  date.month = static_cast<int>(m + 3 - 12 * (m / 10));
  date.year = static_cast<int>(100 * b + d - 4800 + m / 10);
  return date;
}

std::int32_t TxbDBFDate::Today(platform::Machine& machine) const {
  platform::LocalTime now = machine.clock().Now();
  return JulianDay(now.year, now.month, now.day);
}

std::string TxbDBFDate::StorageText(std::int32_t julian) const {
  if (julian <= 0) return std::string(8, ' ');
  CalendarDate date = Split(julian);
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return std::string(text, 8);
}

std::string TxbDBFDate::DisplayFormat(platform::Machine& machine) const {
  std::string format = machine.system().ShortDateFormat();
  for (char& c : format)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (fourDigitYear_) {
    if (auto first = format.find('Y'); first != std::string::npos) {
      while (format.find("YYYY") == std::string::npos)
        format.insert(first, 1, 'Y');
    }
  }
  return format;
}

std::string TxbDBFDate::DisplayText(platform::Machine& machine, std::int32_t julian) const {
  std::string format = DisplayFormat(machine);
  if (julian <= 0) return std::string(format.size(), ' ');
  CalendarDate date = Split(julian);
  std::string result;
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c)
      ++run;
    char number[16];
    if (c == 'Y') {
      int year = run >= 3 ? date.year : date.year % 100;
      std::snprintf(number, sizeof number, run >= 3 ? "%04d" : "%02d", year);
      result += number;
    } else if (c == 'M' || c == 'D') {
      int value = c == 'M' ? date.month : date.day;
      std::snprintf(number, sizeof number, run >= 2 ? "%02d" : "%d", value);
      result += number;
    } else {
      result.append(run, c);
    }
    i += run;
  }
  return result;
}

std::optional<std::int32_t> TxbDBFDate::TryFromText(platform::Machine& machine,
                                                    std::string_view text) const {
  std::string trimmed = TrimRight(text);
  if (trimmed.empty() || trimmed == "00000000") return 0;
  if (trimmed.size() == 8 && AllDigits(trimmed)) {
    int year = std::stoi(trimmed.substr(0, 4));
    int month = std::stoi(trimmed.substr(4, 2));
    int day = std::stoi(trimmed.substr(6, 2));
    return FromCalendar(year, month, day).value_or(kJulianOffset);
  }
  return FromShortDate(trimmed, machine.system().ShortDateFormat(), machine.clock().Now().year);
}

std::int32_t TxbDBFDate::FromText(platform::Machine& machine, std::string_view text) const {
  if (auto day = TryFromText(machine, text)) return *day;
  throw platform::EConvertError("'" + std::string(text) + "' is not a valid date");
}

int TxbDBFDate::DayOfWeek(std::int32_t julian) const {
  if (julian <= 0) return 0;
  // Julian day 0 fell on a Monday; the cycle here starts with Sunday = 1.
  // Reduced before the step so that the last 32-bit day does not overflow.
  return (julian % 7 + 1) % 7 + 1;
}

}  // namespace tables
