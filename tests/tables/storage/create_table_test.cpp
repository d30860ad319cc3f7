#include "tables/storage/create_table.hpp"

#include <gtest/gtest.h>

#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

std::uint32_t LE(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i)
    value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

std::uint32_t BE(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = 0; i < width; ++i)
    value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

class CreateTableTest : public ::testing::Test {
 protected:
  static std::string Path(std::string_view name) { return testing::StorageTestMachine::Path(name); }
  testing::StorageTestMachine machine;
};

TEST_F(CreateTableTest, APlainTableHasHeaderDescriptorsTerminatorAndEndMark) {
  CreateTable(Path("plain"), 0x03, {{"Name", 'C', 20, 0}, {"Qty", 'N', 6, 2}});
  const std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("PLAIN.DBF"));
  const platform::LocalTime now = machine.machine().clock().Now();
  ASSERT_EQ(bytes.size(), 98u);
  EXPECT_EQ(bytes[0], 0x03);
  EXPECT_EQ(bytes[1], now.year % 100);
  EXPECT_EQ(bytes[2], now.month);
  EXPECT_EQ(bytes[3], now.day);
  EXPECT_EQ(LE(bytes, 4, 4), 0u);
  EXPECT_EQ(LE(bytes, 8, 2), 97u);
  EXPECT_EQ(LE(bytes, 10, 2), 27u);
  EXPECT_EQ(bytes[15], 0);
  EXPECT_EQ(bytes[28], 0);
  EXPECT_EQ(std::string(bytes.begin() + 32, bytes.begin() + 43),
            std::string("NAME\0\0\0\0\0\0\0", 11));
  EXPECT_EQ(bytes[32 + 11], 'C');
  EXPECT_EQ(bytes[64 + 11], 'N');
  EXPECT_EQ(bytes[64 + 16], 6);
  EXPECT_EQ(bytes[64 + 17], 2);
  EXPECT_EQ(bytes[96], 0x0D);
  EXPECT_EQ(bytes[97], 0x1A);
  EXPECT_FALSE(machine.machine().files().Exists(Path("PLAIN.DBT")));
}

TEST_F(CreateTableTest, VisualTablesWithMemoFieldsGetTheFlagAndAnFpt) {
  CreateTable(Path("V"), 0x30, {{"ID", 'I', 4, 0}, {"NOTE", 'M', 4, 0}});
  const std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("V.DBF"));
  EXPECT_EQ(LE(bytes, 8, 2), 32u + 64 + 1 + 263);
  EXPECT_EQ(bytes[28], 0x02);
  EXPECT_EQ(LE(bytes, 64 + 12, 4), 5u);  // the descriptor carries the field's offset
  EXPECT_EQ(bytes[96], 0x0D);
  EXPECT_EQ(bytes.size(), 32u + 64 + 1 + 263 + 1);
  const std::vector<std::uint8_t> memo = machine.ReadBytes(Path("V.FPT"));
  ASSERT_EQ(memo.size(), 512u);
  EXPECT_EQ(BE(memo, 0, 4), 8u);
  EXPECT_EQ(BE(memo, 6, 2), 64u);

  CreateTable(Path("V2"), 0x30, {{"RATE", 'B', 8, 0}});
  EXPECT_EQ(machine.ReadBytes(Path("V2.DBF"))[28], 0);
  EXPECT_FALSE(machine.machine().files().Exists(Path("V2.FPT")));
}

TEST_F(CreateTableTest, EveryMemoVersionGetsItsMemoFile) {
  CreateTable(Path("D3"), 0x83, {{"NOTE", 'M', 10, 0}});
  std::vector<std::uint8_t> memo = machine.ReadBytes(Path("D3.DBT"));
  ASSERT_EQ(memo.size(), 512u);
  EXPECT_EQ(LE(memo, 0, 4), 1u);
  EXPECT_EQ(std::string(memo.begin() + 8, memo.begin() + 11), std::string("D3\0", 3));

  CreateTable(Path("D4"), 0x8B, {{"NOTE", 'M', 10, 0}}, {}, 1024);
  memo = machine.ReadBytes(Path("D4.DBT"));
  ASSERT_EQ(memo.size(), 1024u);
  EXPECT_EQ(LE(memo, 0, 4), 1u);
  EXPECT_EQ(LE(memo, 20, 4), 1024u);

  CreateTable(Path("FP"), 0xF5, {{"NOTE", 'M', 10, 0}}, {}, 32);
  memo = machine.ReadBytes(Path("FP.FPT"));
  EXPECT_EQ(BE(memo, 0, 4), 16u);
  EXPECT_EQ(BE(memo, 6, 2), 32u);
}

TEST_F(CreateTableTest, AKeyEncryptsTheDescriptorArea) {
  CreateTable(Path("E"), 0x03, {{"NAME", 'C', 5, 0}}, "q3#Lm9!");
  const std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("E.DBF"));
  EXPECT_EQ(bytes[15], 1);
  EXPECT_EQ(bytes[32], 'N' ^ 0x71);
  EXPECT_EQ(bytes[64], 0x0D);
  XBO_dBaseFld table(Path("E"), false, false, "q3#Lm9!");
  EXPECT_EQ(table.FieldName(1), "NAME");
}

TEST_F(CreateTableTest, ExistingFilesAreNotReplaced) {
  CreateTable(Path("X"), 0x03, {{"A", 'C', 1, 0}});
  try {
    CreateTable(Path("X"), 0x03, {{"B", 'C', 1, 0}});
    FAIL() << "no exception";
  } catch (const EXbaseError& error) {
    EXPECT_STREQ(error.what(), "File already exists - C:\\DATA\\X.DBF");
  }
  machine.WriteBytes(Path("Y.DBT"), {1});
  EXPECT_THROW(CreateTable(Path("Y"), 0x83, {{"B", 'C', 1, 0}}), EXbaseError);
  EXPECT_FALSE(machine.machine().files().Exists(Path("Y.DBF")));
}

TEST_F(CreateTableTest, InvalidDefinitionsAreRefusedBeforeAnythingIsCreated) {
  struct Case {
    std::uint8_t version;
    std::vector<XbFieldDef> fields;
    std::uint32_t blockSize;
    const char* message;
  };
  const Case cases[] = {
      {0x03, {}, 0, "dBase DBF file header invalid - A table needs at least one field"},
      {0x04,
       {{"A", 'C', 1, 0}},
       0,
       "dBase DBF file header invalid - Version 0x04 is not a table version"},
      {0x03,
       {{"1AB", 'C', 1, 0}},
       0,
       "dBase field name is invalid - Field name \"1AB\" must be 1 to 10 letters, digits or _ "
       "starting with a letter"},
      {0x03, {{"", 'C', 1, 0}}, 0, nullptr},
      {0x03, {{"ELEVENCHARS", 'C', 1, 0}}, 0, nullptr},
      {0x03, {{"A-B", 'C', 1, 0}}, 0, nullptr},
      {0x03,
       {{"A", 'C', 1, 0}, {"a", 'N', 1, 0}},
       0,
       "dBase field name is invalid - Field A is defined twice"},
      {0x03,
       {{"NOTE", 'M', 10, 0}},
       0,
       "dBase field is of incorrect type - Field NOTE: type M is not allowed in a version 0x03 "
       "table"},
      {0x83, {{"N", 'I', 4, 0}}, 0, nullptr},
      {0x03,
       {{"N", 'C', 0, 0}},
       0,
       "dBase field is of incorrect type - Field N of type C needs a length of 1 to 65535"},
      {0x03, {{"N", 'N', 21, 0}}, 0, nullptr},
      {0x03,
       {{"N", 'N', 5, 5}},
       0,
       "dBase field is of incorrect type - Field N of type N needs decimals below its length"},
      {0x03,
       {{"N", 'D', 7, 0}},
       0,
       "dBase field is of incorrect type - Field N of type D needs a length of 8"},
      {0x03, {{"N", 'L', 2, 0}}, 0, nullptr},
      {0x03,
       {{"N", 'C', 5, 1}},
       0,
       "dBase field is of incorrect type - Field N of type C cannot have decimals"},
      {0x30, {{"N", 'M', 10, 0}}, 0, nullptr},
      {0x30, {{"N", 'B', 10, 0}}, 0, nullptr},
      {0x83, {{"N", 'M', 4, 0}}, 0, nullptr},
      {0x8B,
       {{"N", 'M', 10, 0}},
       600,
       "dBase DBF file header invalid - Memo block size 600 is not allowed for a version 0x8B "
       "table"},
      {0x83, {{"N", 'M', 10, 0}}, 1024, nullptr},
      {0x03, {{"N", 'C', 1, 0}}, 64, nullptr},
      {0x03,
       {{"A", 'C', 65535, 0}},
       0,
       "dBase DBF file header invalid - Record length 65536 or header length 65 exceeds 65535"},
  };
  for (const Case& c : cases) {
    try {
      CreateTable(Path("BAD"), c.version, c.fields, {}, c.blockSize);
      ADD_FAILURE() << "created: " << (c.fields.empty() ? "" : c.fields[0].name);
    } catch (const EXbaseError& error) {
      if (c.message) {
        EXPECT_STREQ(error.what(), c.message);
      }
    }
    EXPECT_FALSE(machine.machine().files().Exists(Path("BAD.DBF")));
  }
}

}  // namespace
}  // namespace tables
