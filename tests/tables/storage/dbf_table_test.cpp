#include "tables/storage/dbf_table.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/engine_error_of.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using testing::ErrorOf;

constexpr std::uint32_t kHeaderLength = 32 + 2 * 32 + 1;  // two fields
constexpr std::uint32_t kRecordLength = 1 + 5 + 3;

class DbfTableTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateTable(path, 0x03, {{"NAME", 'C', 5, 0}, {"QTY", 'N', 3, 0}}); }

  void Append(XBO_dBaseFld& table, const char* name, double qty) {
    table.BlankRecord();
    table.SetFieldText("NAME", name);
    table.SetFieldNumber("QTY", qty);
    table.AppendRecord();
  }

  std::vector<std::uint8_t> Bytes() { return machine.ReadBytes(path); }
  std::uint32_t HeaderCount() {
    std::vector<std::uint8_t> bytes = Bytes();
    return bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24;
  }

  testing::StorageTestMachine machine;
  std::string path = testing::StorageTestMachine::Path("T.DBF");
};

TEST_F(DbfTableTest, NamesAreTrimmedUpperCasedAndGetAnExtension) {
  XBO_dBaseDBF table("  c:\\data\\t  ", false, false, "");
  EXPECT_EQ(table.path(), "C:\\DATA\\T.DBF");
  machine.WriteBytes(testing::StorageTestMachine::Path("KVUS.dat"), Bytes());
  XBO_dBaseDBF kept("C:\\DATA\\KVUS.dat", false, false, "");
  EXPECT_EQ(kept.path(), "C:\\DATA\\KVUS.DAT");
}

TEST_F(DbfTableTest, AppendWritesRecordAndEndMarkThenTheHeader) {
  {
    XBO_dBaseFld table(path, false, true, "");
    Append(table, "AB", 7);
    Append(table, "CDE", 12);
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.currentRecord(), 2);
  }
  const std::vector<std::uint8_t> bytes = Bytes();
  ASSERT_EQ(bytes.size(), kHeaderLength + 2 * kRecordLength + 1);
  EXPECT_EQ(
      std::string(bytes.begin() + kHeaderLength, bytes.begin() + kHeaderLength + kRecordLength),
      " AB     7");
  EXPECT_EQ(bytes.back(), 0x1A);
  EXPECT_EQ(HeaderCount(), 2u);
}

TEST_F(DbfTableTest, WriteRecordInPlaceAndBeyondTheCount) {
  XBO_dBaseFld table(path, false, true, "");
  Append(table, "AB", 1);
  Append(table, "CD", 2);
  table.ReadRecord(1);
  table.SetFieldText("NAME", "XY");
  table.SetRecordDeleted(true);
  table.WriteRecord(1);
  EXPECT_EQ(Bytes().size(), kHeaderLength + 2 * kRecordLength + 1);
  table.SetFieldText("NAME", "NEW");
  table.WriteRecord(9);
  EXPECT_EQ(table.recordCount(), 3);
  table.ReadRecord(1);
  EXPECT_TRUE(table.RecordDeleted());
  EXPECT_EQ(table.GetFieldText("NAME"), "XY   ");
  table.ReadRecord(3);
  EXPECT_FALSE(table.RecordDeleted());
  EXPECT_EQ(table.GetFieldText("NAME"), "NEW  ");
}

TEST_F(DbfTableTest, AStaleCountIsTakenFromTheFileSize) {
  {
    XBO_dBaseFld table(path, false, true, "");
    for (int i = 0; i < 3; ++i)
      Append(table, "R", i);
  }
  std::vector<std::uint8_t> bytes = Bytes();
  bytes[4] = 1;
  machine.WriteBytes(path, bytes);
  XBO_dBaseFld table(path, false, true, "");
  EXPECT_EQ(table.recordCount(), 3);
  table.ReadRecord(3);
  table.MarkHeaderDirty();
  table.Close();
  EXPECT_EQ(HeaderCount(), 3u);
}

TEST_F(DbfTableTest, TheHeaderKeepsEveryByteItDoesNotOwn) {
  std::vector<std::uint8_t> bytes = Bytes();
  for (int at : {12, 13, 14, 24, 25, 26, 27, 29, 30, 31})
    bytes[at] = static_cast<std::uint8_t>(at);
  bytes[28] = 0xFD;
  machine.WriteBytes(path, bytes);
  {
    XBO_dBaseFld table(path, false, true, "");
    table.SetUserId(-2);
    Append(table, "A", 1);
  }
  const std::vector<std::uint8_t> written = Bytes();
  for (int at : {12, 13, 14, 24, 25, 26, 27, 29, 30, 31})
    EXPECT_EQ(written[at], at) << at;
  EXPECT_EQ(written[28], 0x05);
  EXPECT_EQ(written[15], 0);
  EXPECT_EQ(std::vector<std::uint8_t>(written.begin() + 20, written.begin() + 24),
            (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
  const platform::LocalTime now = machine.machine().clock().Now();
  EXPECT_EQ(written[1], now.year % 100);
  EXPECT_EQ(written[2], now.month);
  EXPECT_EQ(written[3], now.day);
  const std::uint32_t stamp =
      written[16] | written[17] << 8 | written[18] << 16 | written[19] << 24;
  EXPECT_EQ(stamp >> 10 >> 12, static_cast<std::uint32_t>(now.hour));
}

TEST_F(DbfTableTest, HeadersThatAreNoTableHeadersAreRefused) {
  const std::vector<std::uint8_t> good = Bytes();
  auto corrupt = [&](int at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[at] = value;
    machine.WriteBytes(path, bytes);
    return ErrorOf([&] { XBO_dBaseDBF table(path, false, false, ""); }).first;
  };
  const std::string invalid = "dBase DBF file header invalid - C:\\DATA\\T.DBF";
  EXPECT_EQ(corrupt(0, 0x04), invalid);  // unknown version
  EXPECT_EQ(corrupt(10, 0), invalid);    // record length 0
  EXPECT_EQ(corrupt(10, 5), invalid);    // fields longer than the record
  EXPECT_EQ(corrupt(8, 20), invalid);    // header shorter than its own block
  machine.WriteBytes(path, {0x03, 1, 2});
  EXPECT_EQ(ErrorOf([&] { XBO_dBaseDBF table(path, false, false, ""); }).first, invalid);
}

TEST_F(DbfTableTest, ReadingBeyondTheRecordsIsAnError) {
  XBO_dBaseFld table(path, true, true, "");
  Append(table, "A", 1);
  try {
    table.ReadRecord(2);
    FAIL() << "no exception";
  } catch (const EXbaseError& error) {
    EXPECT_STREQ(error.what(), "dBase record request beyond EOF - C:\\DATA\\T.DBF");
    EXPECT_EQ(error.subcode(), xb_sub::RecordRead);
  }
  EXPECT_THROW(table.ReadRecord(0), EXbaseError);
}

TEST_F(DbfTableTest, AppendsOfOthersAreNoticedByHeaderReReads) {
  XBO_dBaseFld mine(path, true, true, "");
  XBO_dBaseFld other(path, true, true, "");
  EXPECT_TRUE(mine.SharesHandleWith(other));
  machine.clock().Advance(1500);
  Append(other, "B", 2);
  EXPECT_EQ(mine.recordCount(), 0);
  mine.ReadRecord(1);  // beyond the count held: the header is read again
  EXPECT_EQ(mine.recordCount(), 1);
  EXPECT_TRUE(mine.changedByOthers());
  EXPECT_EQ(mine.GetFieldText("NAME"), "B    ");
}

TEST_F(DbfTableTest, AWholeTableLockDefersTheHeaderUntilItIsReleased) {
  XBO_dBaseFld table(path, true, true, "");
  ASSERT_TRUE(table.LockFile());
  Append(table, "A", 1);
  Append(table, "B", 2);
  EXPECT_EQ(HeaderCount(), 0u);
  EXPECT_TRUE(table.Unlock());
  EXPECT_EQ(HeaderCount(), 2u);
}

TEST_F(DbfTableTest, SharedAppendsWriteTheHeaderAtOnceExclusiveOnesAtFlushAndClose) {
  {
    XBO_dBaseFld shared(path, true, true, "");
    Append(shared, "A", 1);
    EXPECT_EQ(HeaderCount(), 1u);
  }
  {
    XBO_dBaseFld exclusive(path, false, true, "");
    Append(exclusive, "B", 2);
    Append(exclusive, "C", 3);
    EXPECT_EQ(HeaderCount(), 1u);
    exclusive.Flush();
    EXPECT_EQ(HeaderCount(), 3u);
    Append(exclusive, "D", 4);
  }
  EXPECT_EQ(HeaderCount(), 4u);
}

TEST_F(DbfTableTest, RecordLocksFollowTheOneRegionRule) {
  XBO_dBaseFld table(path, true, true, "");
  XBO_dBaseFld other(path, true, true, "");
  ASSERT_TRUE(table.LockRecord(5));
  EXPECT_FALSE(table.LockRecord(6));
  EXPECT_EQ(table.LastError(), 33u);
  EXPECT_TRUE(table.LockRecord(5));
  EXPECT_TRUE(table.Unlock());
  EXPECT_FALSE(other.LockRecord(5));
  EXPECT_TRUE(table.Unlock());
  EXPECT_TRUE(other.LockRecord(5));
}

TEST_F(DbfTableTest, AppendingWhileHoldingARecordLockStillAppends) {
  XBO_dBaseFld table(path, true, true, "");
  ASSERT_TRUE(table.LockRecord(1));
  Append(table, "A", 1);
  EXPECT_EQ(HeaderCount(), 1u);
  EXPECT_EQ(table.lockCount(), 1);
}

class EncryptedTableTest : public DbfTableTest {
 protected:
  void SetUp() override {
    CreateTable(path, 0x03, {{"NAME", 'C', 5, 0}, {"QTY", 'N', 3, 0}}, "q3#Lm9!");
  }
};

TEST_F(EncryptedTableTest, KeyErrorsAtOpen) {
  auto open = [&](std::string_view key) -> std::string {
    try {
      XBO_dBaseDBF table(path, false, false, key);
    } catch (const EXbaseEncryption& error) {
      return error.what();
    }
    return "opened";
  };
  EXPECT_EQ(open(""), "No Password for encrypted file C:\\DATA\\T.DBF");
  EXPECT_EQ(open("wrong"), "Invalid Password for encrypted file s%");
  EXPECT_EQ(open("q3#Lm9!"), "opened");
  CreateTable(testing::StorageTestMachine::Path("PLAIN"), 0x03, {{"A", 'C', 1, 0}});
  path = testing::StorageTestMachine::Path("PLAIN.DBF");
  EXPECT_EQ(open("q3#Lm9!"), "A Password is included for unencrypted file C:\\DATA\\PLAIN.DBF");
}

TEST_F(EncryptedTableTest, RecordsAreStoredEncodedAndReadPlain) {
  {
    XBO_dBaseFld table(path, false, true, "q3#Lm9!");
    Append(table, "HELLO", 5);
    EXPECT_EQ(table.GetFieldText("NAME"), "HELLO");
  }
  const std::vector<std::uint8_t> bytes = Bytes();
  const std::uint8_t masks[] = {0x71, 0x33, 0x23, 0x4F, 0x6D, 0x3D};
  const char plain[] = " HELLO";
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(bytes[kHeaderLength + i], plain[i] ^ masks[i]) << i;
  EXPECT_EQ(bytes.back(), 0x1A);
  EXPECT_EQ(bytes[15], 1);
  EXPECT_NE(bytes[32], 'N');  // the descriptor area is encoded too

  XBO_dBaseFld table(path, false, false, "q3#Lm9!");
  EXPECT_EQ(table.FieldName(1), "NAME");
  table.ReadRecord(1);
  EXPECT_EQ(table.GetFieldText("NAME"), "HELLO");
  EXPECT_EQ(table.GetFieldNumber("QTY"), 5);
}

}  // namespace
}  // namespace tables
