#include "bench/standard_records.hpp"

#include <cstdio>

namespace bench {
namespace {

constexpr const char* kPrefixes[] = {"www.",  "http://www.", "https://", "ftp.",
                                     "mail.", "News.",       "WWW.",     "shop."};
constexpr const char* kSuffixes[] = {".com", ".org", ".net", ".de", ".co.uk", ".IO"};
constexpr const char* kReasons[] = {"SPAM", "PHISHING", "MALWARE", "ADULT", "GAMBLING",
                                    "OK",   "",         "UNKNOWN", "ADS",   "TRACKER"};
constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// 1 January 2000 plus days, as yyyymmdd.
std::string DateAfter2000(std::uint64_t days) {
  static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int year = 2000, month = 1;
  while (days >= (IsLeap(year) ? 366u : 365u))
    days -= IsLeap(year++) ? 366 : 365;
  for (;; ++month) {
    const unsigned length = kMonthDays[month - 1] + (month == 2 && IsLeap(year) ? 1 : 0);
    if (days < length) break;
    days -= length;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, static_cast<int>(days) + 1);
  return text;
}

}  // namespace

std::uint64_t StandardRecords::Draw() {
  state_ = (state_ * 1103515245 + 12345) % 2147483648ULL;
  return state_ >> 16;
}

StandardRecord StandardRecords::Next(std::int64_t n) {
  StandardRecord record;
  if (Draw() % 50 == 0) {
    record.site = "www.example.com";
  } else {
    record.site = kPrefixes[Draw() % 8];
    const std::uint64_t length = 3 + Draw() % 18;
    for (std::uint64_t i = 0; i < length; ++i)
      record.site += kLetters[Draw() % 36];
    record.site += kSuffixes[Draw() % 6];
  }
  std::uint64_t a = Draw(), b = Draw();
  const std::uint64_t cents = (a * 32768 + b) % 100000;
  const bool negative = Draw() % 10 == 0 && cents != 0;
  char num[32];
  std::snprintf(num, sizeof num, "%s%llu.%02llu", negative ? "-" : "",
                static_cast<unsigned long long>(cents / 100),
                static_cast<unsigned long long>(cents % 100));
  record.num = num;
  if (Draw() % 100 != 0) {
    a = Draw(), b = Draw();
    record.date = DateAfter2000((a * 32768 + b) % 9000);
  }
  if (n % 10 == 1) {
    record.memo = "Memo " + std::to_string(n) + ": ";
    const std::uint64_t copies = 1 + Draw() % 5;
    for (std::uint64_t i = 0; i < copies; ++i)
      record.memo += record.site;
  }
  record.user = std::string(1, static_cast<char>('A' + Draw() % 26));
  record.reasons = kReasons[Draw() % 10];
  record.logical = Draw() % 2 == 0;
  return record;
}

}  // namespace bench
