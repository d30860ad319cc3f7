#include "tables/storage/dbf_fields.hpp"

#include <gtest/gtest.h>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

constexpr std::int32_t kFirstOf1980 = 2444240;

struct Failure {
  std::string message;
  int code = 0, subcode = 0;
  bool operator==(const Failure&) const = default;
};

template <typename F>
Failure FailureOf(F f) {
  try {
    f();
  } catch (const EXbaseError& error) {
    return {error.what(), error.code(), error.subcode()};
  }
  return {"no error"};
}

class DbfFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateTable(Path("F"), 0x83,
                {{"NAME", 'C', 10, 0},
                 {"QTY", 'N', 3, 0},
                 {"PRICE", 'N', 5, 2},
                 {"BORN", 'D', 8, 0},
                 {"OK", 'L', 1, 0},
                 {"NOTE", 'M', 10, 0},
                 {"LONGTEXT", 'C', 260, 0}});
    table = std::make_unique<XBO_dBaseFld>(Path("F"), false, true, "");
    table->BlankRecord();
  }

  static std::string Path(std::string_view name) { return testing::StorageTestMachine::Path(name); }

  testing::StorageTestMachine machine;
  std::unique_ptr<XBO_dBaseFld> table;
};

TEST_F(DbfFieldsTest, DescriptorsWithTheLongCharacterRule) {
  EXPECT_EQ(table->FieldCount(), 7);
  EXPECT_EQ(table->FieldLength(7), 260);
  EXPECT_EQ(table->FieldDecimals(7), 0);
  const std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("F.DBF"));
  EXPECT_EQ(bytes[32 + 6 * 32 + 16], 4);
  EXPECT_EQ(bytes[32 + 6 * 32 + 17], 1);
  EXPECT_EQ(table->FieldOffset(3), 14);
  EXPECT_EQ(table->recordLength(), 1u + 10 + 3 + 5 + 8 + 1 + 10 + 260);
  EXPECT_EQ(table->FieldName(8), "");
  EXPECT_EQ(table->FieldType(0), '\0');
  EXPECT_EQ(table->FieldLength(99), 0);
}

TEST_F(DbfFieldsTest, NamesAreFoundWithoutRegardToCase) {
  for (const char* name : {"name", "NAME ", "Name"}) {
    EXPECT_EQ(table->FieldNumberOf(name), 1) << name;
  }
  EXPECT_EQ(FailureOf([&] { table->FieldDescByName("NAMEX"); }),
            (Failure{"dBase field name is invalid - C:\\DATA\\F.DBF->NAMEX", 1003, 1298}));
}

TEST_F(DbfFieldsTest, StoredNamesPaddedWithBlanksAreFoundToo) {
  table.reset();
  std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("F.DBF"));
  std::fill(bytes.begin() + 32 + 4, bytes.begin() + 32 + 11, ' ');  // "NAME" and seven blanks
  machine.WriteBytes(Path("F.DBF"), bytes);
  table = std::make_unique<XBO_dBaseFld>(Path("F"), false, true, "");
  for (const char* name : {"name", "NAME ", "Name"}) {
    EXPECT_EQ(table->FieldNumberOf(name), 1) << name;
  }
}

TEST_F(DbfFieldsTest, ABlankRecordHoldsFormattedZeros) {
  EXPECT_EQ(table->GetFieldText("PRICE"), " 0.00");
  EXPECT_EQ(table->GetFieldText("QTY"), "  0");
  EXPECT_EQ(table->GetFieldText("NAME"), std::string(10, ' '));
  EXPECT_EQ(table->GetFieldText("NOTE"), std::string(10, ' '));
  EXPECT_FALSE(table->RecordDeleted());
  EXPECT_TRUE(table->fieldChanged(0));
  EXPECT_TRUE(table->fieldChanged(7));
}

TEST_F(DbfFieldsTest, TextIsAlignedByType) {
  table->SetFieldText("NAME", "abc");
  EXPECT_EQ(table->GetFieldText("NAME"), "abc       ");
  table->SetFieldText("QTY", "7");
  EXPECT_EQ(table->GetFieldText("QTY"), "  7");
  table->SetFieldText("QTY", "12345");
  EXPECT_EQ(table->GetFieldText("QTY"), "123");
  table->SetFieldText("NAME", "a very long text");
  EXPECT_EQ(table->GetFieldText("NAME"), "a very lon");
  EXPECT_EQ(table->FieldRawText(1), "a very lon");
}

TEST_F(DbfFieldsTest, NumbersThatDoNotFitLeaveTheFieldUnchanged) {
  table->SetFieldNumber("QTY", 12);
  EXPECT_EQ(FailureOf([&] { table->SetFieldNumber("QTY", 1234); }),
            (Failure{"Number too large to fit in field - QTY - 1234", 1011, 1261}));
  EXPECT_EQ(table->GetFieldText("QTY"), " 12");
  table->SetFieldNumber("PRICE", 3.14159);
  EXPECT_EQ(table->GetFieldText("PRICE"), " 3.14");
  EXPECT_DOUBLE_EQ(table->GetFieldNumber(3), 3.14);
}

// The stored text rounds the number as it is written, as STR does (1.005 is a little below
// 1.005 in binary).
TEST_F(DbfFieldsTest, NumbersRoundHalvesAwayFromZero) {
  table->SetFieldNumber("PRICE", 1.005);
  EXPECT_EQ(table->GetFieldText("PRICE"), " 1.01");
  table->SetFieldNumber("PRICE", -1.005);
  EXPECT_EQ(table->GetFieldText("PRICE"), "-1.01");
  table->SetFieldNumber("QTY", -0.4);
  EXPECT_EQ(table->GetFieldText("QTY"), "  0");
  EXPECT_EQ(FailureOf([&] { table->SetFieldNumber("PRICE", 99.995); }),
            (Failure{"Number too large to fit in field - PRICE - 100.00", 1011, 1261}));
  EXPECT_EQ(table->GetFieldText("PRICE"), "-1.01");
}

TEST_F(DbfFieldsTest, NumbersAreReadFromTheirText) {
  table->SetFieldText("QTY", "");
  EXPECT_EQ(table->GetFieldNumber("QTY"), 0);
  table->SetFieldText("QTY", "abc");
  EXPECT_EQ(FailureOf([&] { table->GetFieldNumber("QTY"); }),
            (Failure{"dBase field is of incorrect type - Invalid number in field F->QTY (abc)",
                     1004, -7}));
  EXPECT_EQ(FailureOf([&] { table->GetFieldNumber("NAME"); }),
            (Failure{"dBase field is of incorrect type - C:\\DATA\\F.DBF->NAME", 1004, 1299}));
  EXPECT_EQ(FailureOf([&] { table->GetFieldNumber(4); }).subcode, 1299);
  EXPECT_EQ(table->GetFieldNumber("NOTE"), 0);  // a memo block number
}

TEST_F(DbfFieldsTest, TypedReadsByNumberCheckTheNumberAndTheType) {
  XbRecordSource& source = *table;
  table->SetFieldText("PRICE", "-1.25");
  EXPECT_EQ(source.FieldNumber(3), -1.25);
  EXPECT_EQ(table->GetFieldNumber(3), -1.25);
  const Failure outside{"dBase field name is invalid - C:\\DATA\\F.DBF->0", 1003, 1298};
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(0); }), outside);
  EXPECT_EQ(FailureOf([&] { table->GetFieldNumber(0); }), outside);
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(8); }).code, 1003);
  EXPECT_EQ(FailureOf([&] { table->GetFieldText(-1); }).code, 1003);
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(1); }),
            (Failure{"dBase field is of incorrect type - C:\\DATA\\F.DBF->NAME", 1004, 1299}));
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(5); }).subcode, 1299);  // L
  table->SetFieldText("QTY", "1 2");
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(2); }).subcode, -7);
}

TEST_F(DbfFieldsTest, DatesAreStoredAsYearMonthDay) {
  table->SetFieldDate("BORN", kFirstOf1980);
  EXPECT_EQ(table->GetFieldText("BORN"), "19800101");
  EXPECT_EQ(table->GetFieldDate("born"), kFirstOf1980);
  EXPECT_EQ(table->GetFieldDisplay("BORN"), "1/1/1980");
  table->SetFieldText("BORN", "00000000");
  EXPECT_EQ(table->GetFieldDate(4), 0);
  table->SetFieldDate(4, 0);
  EXPECT_EQ(table->GetFieldText(4), "        ");
  EXPECT_EQ(table->GetFieldDisplay(4), "        ");
  table->SetFieldText("BORN", "2021XX01");
  EXPECT_EQ(FailureOf([&] { table->GetFieldDate(4); }).message,
            "dBase field is of incorrect type - Invalid date in field F->BORN (2021XX01)");
  EXPECT_EQ(FailureOf([&] { table->SetFieldDate(4, -1); }).subcode, 1251);
  EXPECT_EQ(FailureOf([&] { table->GetFieldDate(1); }).subcode, 1299);
}

// Only the days of the years 1 to 9999 have a "yyyymmdd" text.
TEST_F(DbfFieldsTest, DatesWithoutAFourDigitYearAreRefused) {
  table->SetFieldDate("BORN", kFirstOf1980);
  const std::int32_t firstDay = *TxbDBFDate::FromCalendar(1, 1, 1);
  const std::int32_t lastDay = *TxbDBFDate::FromCalendar(9999, 12, 31);
  for (std::int32_t julian : {1, firstDay - 1, lastDay + 1}) {
    EXPECT_EQ(FailureOf([&] { table->SetFieldDate(4, julian); }).subcode, 1251) << julian;
    EXPECT_EQ(table->GetFieldText(4), "19800101") << julian;
  }
  table->SetFieldDate(4, firstDay);
  EXPECT_EQ(table->GetFieldText(4), "00010101");
  table->SetFieldDate(4, lastDay);
  EXPECT_EQ(table->GetFieldText(4), "99991231");
}

TEST_F(DbfFieldsTest, LogicalsFromLettersAndNumbers) {
  for (char letter : std::string("TtYyJj")) {
    table->SetFieldText("OK", std::string(1, letter));
    EXPECT_TRUE(table->GetFieldLogical("OK")) << letter;
  }
  for (const char* stored : {"F", "?", " ", "n"}) {
    table->SetFieldText("OK", stored);
    EXPECT_FALSE(table->GetFieldLogical("OK")) << stored;
  }
  struct Case {
    const char* text;
    bool value;
  } cases[] = {{"", false}, {"Yes", true}, {"no", false}, {"1", true}, {"0", false}, {"2.5", true}};
  for (const Case& c : cases) {
    table->SetFieldLogicalText("OK", c.text);
    EXPECT_EQ(table->GetFieldText("OK"), c.value ? "T" : "F") << c.text;
  }
  EXPECT_EQ(FailureOf([&] { table->SetFieldLogicalText("OK", "x"); }).subcode, 1262);
  EXPECT_EQ(table->GetFieldDisplay("OK"), "T");
}

TEST_F(DbfFieldsTest, DisplayTexts) {
  table->SetFieldText("NAME", "  Ann");
  EXPECT_EQ(table->GetFieldDisplay("NAME"), "  Ann");
  table->SetFieldNumber("PRICE", 1.5);
  EXPECT_EQ(table->GetFieldDisplay("PRICE"), "1.50");
  table->SetFieldText("PRICE", "");
  EXPECT_EQ(table->GetFieldDisplay("PRICE"), " 0.00");
  EXPECT_EQ(table->GetFieldDisplay("NOTE"), "---memo---");
  table->SetFieldNumber("NOTE", 12);
  EXPECT_EQ(table->GetFieldDisplay("NOTE"), "---MEMO---");
}

TEST_F(DbfFieldsTest, WritingAndReadingClearsTheChangedFlags) {
  table->AppendRecord();
  EXPECT_FALSE(table->recordChanged());
  table->SetFieldText("NAME", "x");
  EXPECT_TRUE(table->fieldChanged(1));
  EXPECT_FALSE(table->fieldChanged(2));
  EXPECT_TRUE(table->recordChanged());
  table->ReadRecord(1);
  EXPECT_FALSE(table->fieldChanged(1));
  EXPECT_EQ(table->GetFieldText("NAME"), std::string(10, ' '));
}

class VisualFieldsTest : public DbfFieldsTest {
 protected:
  void SetUp() override {
    CreateTable(Path("V"), 0x30,
                {{"COUNT", 'I', 4, 0},
                 {"RATE", 'B', 8, 0},
                 {"PRICE", 'Y', 8, 0},
                 {"STAMP", 'T', 8, 0},
                 {"NOTE", 'M', 4, 0}});
    table = std::make_unique<XBO_dBaseFld>(Path("V"), false, true, "");
    table->BlankRecord();
  }
};

TEST_F(VisualFieldsTest, BinaryFieldsHoldNumbers) {
  table->SetFieldNumber("COUNT", -2.9);
  EXPECT_EQ(table->GetFieldNumber("COUNT"), -2);
  table->SetFieldNumber("RATE", 2.25);
  EXPECT_EQ(table->GetFieldNumber("RATE"), 2.25);
  table->SetFieldNumber(3, 12.34567);
  EXPECT_DOUBLE_EQ(table->GetFieldNumber(3), 12.3456);
  EXPECT_EQ(table->GetFieldDisplay(3), "12.3456");
  EXPECT_EQ(table->GetFieldDisplay(1), "-2");
  const double stamp = 86400000.0 * 10 + 5000;
  table->SetFieldNumber(4, stamp);
  EXPECT_EQ(table->GetFieldNumber(4), stamp);
  EXPECT_EQ(FailureOf([&] { table->SetFieldNumber("COUNT", 3e9); }).code, 1011);
}

TEST(VisualDecimalFields, NAndFHoldTextAndTheOthersBinaryNumbers) {
  testing::StorageTestMachine machine;
  const std::string path = testing::StorageTestMachine::Path("W");
  CreateTable(
      path, 0x30,
      {{"AMOUNT", 'N', 8, 2}, {"RATIO", 'F', 6, 3}, {"COUNT", 'I', 4, 0}, {"ON", 'L', 1, 0}});
  XBO_dBaseFld table(path, false, true, "");
  XbRecordSource& source = table;
  table.BlankRecord();
  table.SetFieldText("AMOUNT", "  -12.50");
  table.SetFieldText("RATIO", " 0.125");
  table.SetFieldNumber("COUNT", 7);
  EXPECT_EQ(source.FieldNumber(1), -12.5);
  EXPECT_EQ(source.FieldNumber(2), 0.125);
  EXPECT_EQ(source.FieldNumber(3), 7);
  EXPECT_EQ(FailureOf([&] { source.FieldNumber(4); }).subcode, 1299);
}

TEST_F(VisualFieldsTest, ATimeOfBlanksIsTheDateTypesDayZero) {
  table->SetFieldText("STAMP", "");
  EXPECT_EQ(table->GetFieldNumber(4), 693594.0 * 86400000.0);
}

TEST_F(VisualFieldsTest, ABlankRecordHoldsBinaryZeros) {
  const std::uint8_t* record = table->recordImage();
  for (int i = 1; i <= 4; ++i)
    EXPECT_EQ(record[i], 0) << i;
  EXPECT_EQ(table->GetFieldNumber(4), 0);  // T: by number only
  EXPECT_EQ(FailureOf([&] { table->GetFieldNumber("STAMP"); }).subcode, 1299);
  EXPECT_EQ(table->GetFieldNumber("NOTE"), 0);
  EXPECT_EQ(table->GetFieldDisplay("NOTE"), "---memo---");
}

}  // namespace
}  // namespace tables
