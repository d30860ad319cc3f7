// Single disk failures spelled out: the message texts the engine raises for them, and the
// data each must leave as it was.
#include <gtest/gtest.h>

#include <string>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables {
namespace {

using platform::testing::FileCall;
using testing::ErrorOf;

const std::string kTable = "C:\\DATA\\T.DBF";

class DiskFailureTest : public ::testing::Test {
 protected:
  void Make(std::uint8_t version) {
    CreateTable(kTable, version, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    XBO_dBaseFld table(kTable, false, true, "");
    table.BlankRecord();
    table.SetFieldText("NAME", "FIRST");
    table.SetMemoText("NOTE", std::string(1500, 'o'));
    table.AppendRecord();
    table.Close();
  }

  testing::FaultSweep sweep;
  platform::testing::FailingFileSystem& files = sweep.files();
};

TEST_F(DiskFailureTest, AFullDiskStopsAnAppendWithTheSystemErrorAndTheFileName) {
  Make(0x83);
  XBO_dBaseFld table(kTable, false, true, "");
  table.BlankRecord();
  files.FillDiskFrom(1);
  EXPECT_EQ(
      ErrorOf([&] { table.AppendRecord(); }),
      std::make_pair(std::string("Xbase Error 112, SubCode 1102.\r C:\\DATA\\T.DBF>1102"), 1102));
  files.Heal();
  table.Close();
  EXPECT_EQ(XBO_dBaseFld(kTable, false, false, "").recordCount(), 1);
}

TEST_F(DiskFailureTest, ATableAnotherProgramHoldsIsFileAccessDenied) {
  Make(0x83);
  files.FailCallOf(FileCall::Open, 1);
  EXPECT_EQ(ErrorOf([] { XBO_dBaseFld table(kTable, true, true, ""); }),
            std::make_pair(std::string("File access denied - C:\\DATA\\T.DBF"), 1107));
}

TEST_F(DiskFailureTest, AnUpdateThatStoredHalfTheRecordLeavesTheOldRecord) {
  Make(0x83);
  {
    XBO_dBaseFld table(kTable, false, true, "");
    table.ReadRecord(1);
    table.SetFieldText("NAME", "CHANGED");
    files.ShortenWrite(1);
    EXPECT_EQ(ErrorOf([&] { table.WriteRecord(1); }).second, 1102);
  }
  XBO_dBaseFld table(kTable, false, false, "");
  table.ReadRecord(1);
  EXPECT_EQ(table.GetFieldDisplay("NAME"), "FIRST");
}

TEST_F(DiskFailureTest, AMemoRewriteThatStoredHalfLeavesTheOldText) {
  Make(0x83);
  {
    XBO_dBaseFld table(kTable, false, true, "");
    table.ReadRecord(1);
    files.ShortenWrite(1);
    EXPECT_EQ(ErrorOf([&] { table.SetMemoText("NOTE", std::string(900, 'n')); }).second, 1102);
  }
  XBO_dBaseFld table(kTable, false, false, "");
  table.ReadRecord(1);
  EXPECT_EQ(table.GetMemoText("NOTE"), std::string(1500, 'o'));
}

// Moving a dBase IV memo first puts its blocks on the free chain; a failed move must take them
// off again, or the next memo written would land on the text the record still names.
TEST_F(DiskFailureTest, AFailedDBaseIVMoveKeepsTheOldTextOffTheFreeChain) {
  Make(0x8B);
  {
    XBO_dBaseFld table(kTable, false, true, "");
    table.ReadRecord(1);
    files.FillDiskFrom(1);
    EXPECT_EQ(ErrorOf([&] { table.SetMemoText("NOTE", std::string(3000, 'n')); }).second, 1102);
    files.Heal();
    table.BlankRecord();
    table.SetMemoText("NOTE", std::string(700, 'x'));
    table.AppendRecord();
  }
  XBO_dBaseFld table(kTable, false, false, "");
  table.ReadRecord(1);
  EXPECT_EQ(table.GetMemoText("NOTE"), std::string(1500, 'o'));
  table.ReadRecord(2);
  EXPECT_EQ(table.GetMemoText("NOTE"), std::string(700, 'x'));
}

// A text half written at the end of a dBase IV file starts with a block header that reads as
// a free run hundreds of blocks long, and the undone free chain ends right there: the junk must
// never be handed out, or a small memo splits that run across the next big one.
TEST_F(DiskFailureTest, AHalfWrittenDBaseIVTextAtTheEndNeverPassesForAFreeRun) {
  Make(0x8B);
  {
    XBO_dBaseFld table(kTable, false, true, "");
    table.BlankRecord();
    files.ShortenWrite(2);  // the file header goes first, then the text
    EXPECT_EQ(ErrorOf([&] { table.SetMemoText("NOTE", std::string(1200, 'j')); }).second, 1102);
  }
  files.Heal();
  // Longer than the run the junk would claim (1208 blocks), so it goes at the end of the file.
  const std::string big(1300 * 512, 'b');
  {
    XBO_dBaseFld table(kTable, false, true, "");
    table.BlankRecord();
    table.SetMemoText("NOTE", big);
    table.AppendRecord();
    for (const char* small : {"one", "two", "three"}) {
      table.BlankRecord();
      table.SetMemoText("NOTE", small);
      table.AppendRecord();
    }
  }
  XBO_dBaseFld table(kTable, false, false, "");
  table.ReadRecord(2);
  EXPECT_EQ(table.GetMemoText("NOTE"), big);
  table.ReadRecord(5);
  EXPECT_EQ(table.GetMemoText("NOTE"), "three");
}

}  // namespace
}  // namespace tables
