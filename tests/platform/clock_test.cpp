#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.hpp"
#include "platform/exception.hpp"
#include "platform/real_clock.hpp"
#include "platform/virtual_clock.hpp"

namespace platform {
namespace {

LocalTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
             int millisecond = 0) {
  LocalTime t;
  t.year = year, t.month = month, t.day = day;
  t.hour = hour, t.minute = minute, t.second = second, t.millisecond = millisecond;
  return t;
}

TEST(FileTimeConversion, KnownInstants) {
  EXPECT_EQ(LocalToFileTime(At(1601, 1, 1)), 0u);
  EXPECT_EQ(LocalToFileTime(At(1970, 1, 1)), 116444736000000000ull);
  const LocalTime t = FileTimeToLocal(LocalToFileTime(At(2000, 2, 29, 23, 59, 58, 123)));
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.dayOfWeek, 2);  // a Tuesday
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.minute, 59);
  EXPECT_EQ(t.second, 58);
  EXPECT_EQ(t.millisecond, 123);
  EXPECT_EQ(FileTimeToLocal(0).dayOfWeek, 1);  // 1 January 1601: Monday
}

TEST(FileTimeConversion, InvalidDatesAreRefused) {
  for (const LocalTime& bad : {At(1600, 12, 31), At(1999, 2, 29), At(2000, 13, 1), At(2000, 4, 31),
                               At(2000, 1, 1, 24), At(2000, 1, 1, 0, 0, 0, 1000)})
    EXPECT_THROW(LocalToFileTime(bad), ERangeError) << bad.year << "-" << bad.month;
}

TEST(VirtualClock, BusyWaitOnTheTickCounterEndsWithoutWaiting) {
  VirtualClock clock(At(2001, 6, 15, 9, 30), 300);
  const auto realStart = std::chrono::steady_clock::now();
  const std::uint32_t first = clock.TickCount();
  while (clock.TickCount() == first) {
  }
  const std::uint64_t tscStart = clock.TimeStampCounter();
  const std::uint32_t start = clock.TickCount();
  while (clock.TickCount() - start < 1000) {
  }
  const std::uint64_t cycles = clock.TimeStampCounter() - tscStart;
  EXPECT_GE(cycles, 1000u * 300u * 1000u);
  EXPECT_LT(cycles, 1010u * 300u * 1000u);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::seconds(5));
}

TEST(VirtualClock, SleepAndAdvanceMoveDatesAndTicks) {
  VirtualClock clock(At(2001, 12, 31, 23, 59, 59), 100);
  EXPECT_TRUE(clock.IsVirtual());
  clock.Sleep(60 * 60 * 1000);
  clock.Advance(500);
  const LocalTime now = clock.Now();
  EXPECT_EQ(now.year, 2002);
  EXPECT_EQ(now.month, 1);
  EXPECT_EQ(now.day, 1);
  EXPECT_EQ(now.hour, 0);
  EXPECT_EQ(now.second, 59);
  EXPECT_EQ(now.millisecond, 500);
  EXPECT_EQ(clock.TickCount(), 3600500u);
  EXPECT_EQ(clock.NowAsFileTime(), LocalToFileTime(At(2002, 1, 1, 0, 59, 59, 501)));
}

TEST(RealClock, FollowsTheHostClock) {
  RealClock clock(1000);
  EXPECT_FALSE(clock.IsVirtual());
  const auto before = std::chrono::system_clock::now();
  const FileTime now = clock.NowAsFileTime();
  const auto unixTicks = (now - 116444736000000000ull) / 10;  // microseconds
  const auto host =
      std::chrono::duration_cast<std::chrono::microseconds>(before.time_since_epoch()).count();
  EXPECT_NEAR(static_cast<double>(unixTicks), static_cast<double>(host), 5e6);
  const std::uint64_t first = clock.TimeStampCounter();
  clock.Sleep(2);
  EXPECT_GE(clock.TimeStampCounter() - first, 2u * 1000u * 1000u);
}

}  // namespace
}  // namespace platform
