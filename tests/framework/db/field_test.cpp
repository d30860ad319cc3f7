#include "framework/db/field.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "framework/db/memory_data_set.hpp"
#include "platform/exception.hpp"

namespace {

using db::FieldType;
using db::TDateTime;

class FieldTest : public ::testing::Test {
 protected:
  FieldTest() {
    table.Open();
    table.Append();
  }
  db::TField& Field(const char* name) { return table.FieldByName(name); }

  db::MemoryDataSet table{{{"Name", FieldType::String, 5},
                           {"Small", FieldType::SmallInt},
                           {"Count", FieldType::Integer},
                           {"Big", FieldType::LargeInt},
                           {"Price", FieldType::Float},
                           {"Flag", FieldType::Boolean},
                           {"Born", FieldType::Date},
                           {"Seen", FieldType::DateTime},
                           {"Picture", FieldType::Blob}}};
};

TEST_F(FieldTest, NewRecordHasOnlyNullsThatReadAsEmptyValues) {
  for (const auto& field : table.Fields()) {
    EXPECT_TRUE(field->IsNull()) << field->FieldName();
    EXPECT_EQ(field->AsString(), "") << field->FieldName();
  }
  EXPECT_EQ(Field("Count").AsInteger(), 0);
  EXPECT_FALSE(Field("Flag").AsBoolean());
  EXPECT_EQ(Field("Price").AsFloat(), 0);
}

TEST_F(FieldTest, ClearMakesAValueNullAgain) {
  Field("Count").SetAsInteger(5);
  EXPECT_FALSE(Field("Count").IsNull());
  Field("Count").Clear();
  EXPECT_TRUE(Field("Count").IsNull());
  Field("Count").SetAsString("  ");
  EXPECT_TRUE(Field("Count").IsNull());
}

TEST_F(FieldTest, SixtyFourBitIntegersKeepEveryDigit) {
  const std::int64_t big = std::numeric_limits<std::int64_t>::max();
  Field("Big").SetAsLargeInt(big);
  table.Post();
  EXPECT_EQ(Field("Big").AsLargeInt(), big);
  EXPECT_EQ(Field("Big").AsString(), "9223372036854775807");
  EXPECT_THROW(Field("Big").AsInteger(), platform::ERangeError);
  table.Edit();
  Field("Big").SetAsString("-9223372036854775808");
  EXPECT_EQ(Field("Big").AsLargeInt(), std::numeric_limits<std::int64_t>::min());
  Field("Big").SetAsInteger(-7);
  EXPECT_EQ(Field("Big").AsInteger(), -7);
}

TEST_F(FieldTest, IntegerFieldsRefuseValuesBeyondTheirRange) {
  try {
    Field("Small").SetAsInteger(40000);
    FAIL() << "no error";
  } catch (const platform::ERangeError& error) {
    EXPECT_STREQ(error.what(),
                 "40000 is not a valid value for field 'Small'. The allowed range is -32768 to "
                 "32767");
  }
  EXPECT_TRUE(Field("Small").IsNull());
  EXPECT_THROW(Field("Count").SetAsLargeInt(std::int64_t{1} << 31), platform::ERangeError);
  Field("Count").SetAsLargeInt((std::int64_t{1} << 31) - 1);
  EXPECT_EQ(Field("Count").AsInteger(), 2147483647);
}

TEST_F(FieldTest, FloatsRoundHalvesToEvenIntoIntegerFields) {
  Field("Count").SetAsFloat(2.5);
  EXPECT_EQ(Field("Count").AsInteger(), 2);
  Field("Count").SetAsFloat(3.5);
  EXPECT_EQ(Field("Count").AsInteger(), 4);
  Field("Price").SetAsString(" 12.75 ");
  EXPECT_DOUBLE_EQ(Field("Price").AsFloat(), 12.75);
  EXPECT_EQ(Field("Price").AsString(), "12.75");
  EXPECT_EQ(Field("Price").AsInteger(), 13);
}

TEST_F(FieldTest, TextThatIsNoNumberIsRefused) {
  try {
    Field("Count").SetAsString("12a");
    FAIL() << "no error";
  } catch (const platform::EConvertError& error) {
    EXPECT_STREQ(error.what(), "'12a' is not a valid integer value");
  }
  EXPECT_THROW(Field("Price").SetAsString("cheap"), platform::EConvertError);
  EXPECT_THROW(Field("Flag").SetAsString("maybe"), platform::EConvertError);
  Field("Name").SetAsString("abc");
  EXPECT_THROW(Field("Name").AsInteger(), platform::EConvertError);
}

TEST_F(FieldTest, StringsAreCutToTheFieldSize) {
  Field("Name").SetAsString("ABCDEFGH");
  EXPECT_EQ(Field("Name").AsString(), "ABCDE");
  Field("Name").SetAsInteger(123456);
  EXPECT_EQ(Field("Name").AsString(), "12345");
}

TEST_F(FieldTest, TruthValuesFromTextNumbersAndBack) {
  for (const char* yes : {"T", "true", "Y", "yes"}) {
    Field("Flag").SetAsString(yes);
    EXPECT_TRUE(Field("Flag").AsBoolean()) << yes;
  }
  Field("Flag").SetAsString("No");
  EXPECT_FALSE(Field("Flag").AsBoolean());
  EXPECT_EQ(Field("Flag").AsString(), "False");
  Field("Flag").SetAsInteger(2);
  EXPECT_EQ(Field("Flag").AsString(), "True");
  EXPECT_EQ(Field("Flag").AsInteger(), 1);
  Field("Name").SetAsString("y");
  EXPECT_TRUE(Field("Name").AsBoolean());
}

TEST_F(FieldTest, DatesDropTheTimeAndDateTimesKeepIt) {
  const TDateTime moment{db::JulianDayOf({2001, 12, 31}), ((13 * 60 + 5) * 60 + 9) * 1000};
  Field("Born").SetAsDateTime(moment);
  Field("Seen").SetAsDateTime(moment);
  table.Post();
  EXPECT_EQ(Field("Born").AsString(), "2001-12-31");
  EXPECT_EQ(Field("Born").AsDateTime().milliseconds, 0);
  EXPECT_EQ(Field("Seen").AsString(), "2001-12-31 13:05:09");
  EXPECT_EQ(Field("Seen").AsDateTime(), moment);
  table.Edit();
  Field("Born").SetAsString("2000-02-29");
  EXPECT_EQ(Field("Born").AsDateTime().julianDay, 2451604);
  EXPECT_THROW(Field("Born").SetAsString("2001-02-29"), platform::EConvertError);
  EXPECT_THROW(Field("Born").SetAsInteger(3), platform::EConvertError);
}

TEST_F(FieldTest, BlobFieldsHoldBytesIncludingZeros) {
  const std::string bytes("\x00\xff\x01", 3);
  Field("Picture").SetAsString(bytes);
  table.Post();
  EXPECT_EQ(Field("Picture").AsString(), bytes);
  table.Edit();
  Field("Picture").Clear();
  EXPECT_TRUE(Field("Picture").IsNull());
}

TEST_F(FieldTest, FieldsDescribeThemselves) {
  const db::TField& name = Field("name");
  EXPECT_EQ(name.FieldName(), "Name");
  EXPECT_EQ(name.DataType(), FieldType::String);
  EXPECT_EQ(name.Size(), 5);
  EXPECT_EQ(name.FieldNo(), 1);
  EXPECT_EQ(Field("Picture").Index(), 8);
  EXPECT_TRUE(Field("Picture").IsBlob());
  EXPECT_EQ(table.FieldDefs().Count(), 9u);
  EXPECT_EQ(&name.DataSet(), &table);
}

TEST(CivilDates, JulianDaysRoundTripAcrossCenturies) {
  EXPECT_EQ(db::JulianDayOf({2000, 1, 1}), 2451545);
  EXPECT_EQ(db::JulianDayOf({1, 1, 1}), 1721426);
  for (const db::CivilDate date : {db::CivilDate{1600, 2, 29}, db::CivilDate{1899, 12, 30},
                                   db::CivilDate{1970, 1, 1}, db::CivilDate{9999, 12, 31}}) {
    const db::CivilDate back = db::CivilDateOf(db::JulianDayOf(date));
    EXPECT_EQ(back.year, date.year);
    EXPECT_EQ(back.month, date.month);
    EXPECT_EQ(back.day, date.day);
  }
  EXPECT_FALSE(db::IsValidCivilDate({1900, 2, 29}));
  EXPECT_TRUE(db::IsValidCivilDate({2000, 2, 29}));
}

TEST(CivilDates, TextFormsParseBackAndBadOnesDoNot) {
  const TDateTime moment{2451545, 3'723'004};
  EXPECT_EQ(db::FormatDateTime(moment, true), "2000-01-01 01:02:03.004");
  EXPECT_EQ(db::ParseDateTime("2000-01-01 01:02:03.004"), moment);
  EXPECT_EQ(db::ParseDateTime("2000-01-01"), (TDateTime{2451545, 0}));
  for (const char* bad : {"2000-1-01", "2000-13-01", "2000-01-01 24:00:00", "2000-01-01x",
                          "2000-01-01 01:02", "", "01/01/2000"}) {
    EXPECT_FALSE(db::ParseDateTime(bad).has_value()) << bad;
  }
}

}  // namespace
