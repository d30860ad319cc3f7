#include "tables/storage/dbf_date.hpp"

#include <gtest/gtest.h>

#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

constexpr std::int32_t kFirstOf1980 = 2444240;

class DbfDateTest : public ::testing::Test {
 protected:
  testing::StorageTestMachine machine;  // short date format "M/d/yy"
};

TEST_F(DbfDateTest, JulianDayOfTheFirstOf1980) {
  EXPECT_EQ(TxbDBFDate::FromCalendar(1980, 1, 1), kFirstOf1980);
  EXPECT_EQ(XbDate().StorageText(kFirstOf1980), "19800101");
  EXPECT_EQ(XbDate().StorageText(0), "        ");
  EXPECT_EQ(XbDate().StorageText(-5), "        ");
  EXPECT_EQ(XbDate().DayOfWeek(kFirstOf1980), 3);  // a Tuesday
}

TEST_F(DbfDateTest, DisplayWidensTheYearOfTheShortFormat) {
  EXPECT_EQ(XbDate().DisplayFormat(platform::CurrentMachine()), "M/D/YYYY");
  EXPECT_EQ(XbDate().DisplayText(platform::CurrentMachine(), kFirstOf1980), "1/1/1980");
  EXPECT_EQ(XbDate().DisplayText(platform::CurrentMachine(), 0), "        ");
}

TEST_F(DbfDateTest, ReadsStoredAndDisplayedTexts) {
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), ""), 0);
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), "00000000"), 0);
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), "19800101  "), kFirstOf1980);
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), "20210230"),
            TxbDBFDate::kJulianOffset);
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), "1/2/1980"), kFirstOf1980 + 1);
  EXPECT_EQ(XbDate().TryFromText(platform::CurrentMachine(), "no date"), std::nullopt);
}

TEST_F(DbfDateTest, TodayFollowsTheMachineClock) {
  const platform::LocalTime now = machine.machine().clock().Now();
  EXPECT_EQ(XbDate().Today(platform::CurrentMachine()),
            TxbDBFDate::FromCalendar(now.year, now.month, now.day));
}

}  // namespace
}  // namespace tables
