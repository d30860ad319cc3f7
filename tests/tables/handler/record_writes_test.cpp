// Record writes through the handler: the order of locks, old-image read, key preparation,
// write and key application; failures that write nothing; the record lock; changes of other
// programs kept; two handlers sharing one table.
#include <gtest/gtest.h>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/handler/handler_test_table.hpp"
#include "tests/tables/handler/recording_index.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

class RecordWrites : public HandlerTest {
 protected:
  RecordingIndex& Attach(XBO_dBHandler& table, const std::string& name) {
    auto index = std::make_unique<RecordingIndex>(table, StorageTestMachine::Path(name));
    return static_cast<RecordingIndex&>(table.AdoptIndexFile(std::move(index)));
  }
  std::vector<std::uint8_t> TableBytes() {
    return sim.ReadBytes(StorageTestMachine::Path("T.DBF"));
  }
  // Holds a lock region of a file as another program would.
  std::unique_ptr<XBO_DiskFile> HoldLock(const std::string& name, XbLockRegion region) {
    auto other = std::make_unique<XBO_DiskFile>(sim.machine());
    other->Open(StorageTestMachine::Path(name), true, false);
    EXPECT_TRUE(other->LockRegion(region.offset, region.length));
    return other;
  }
};

TEST_F(RecordWrites, AppendPreparesKeysUnderTheLockBeforeWritingAndAppliesAfter) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open(true);
  RecordingIndex& index = Attach(*table, "A.IDX");
  table->BlankRecord();
  table->SetFieldText("NAME", "NEW");
  table->AppendRecord();
  ASSERT_EQ(index.calls.size(), 2u);
  EXPECT_EQ(index.calls[0].what, "prepare");
  EXPECT_EQ(index.calls[0].record, 3);
  EXPECT_TRUE(index.calls[0].locked);
  EXPECT_FALSE(index.calls[0].oldImage.has_value());
  EXPECT_EQ(index.calls[0].tableCount, 2);
  EXPECT_EQ(index.calls[1].what, "apply");
  EXPECT_TRUE(index.calls[1].locked);
  EXPECT_EQ(index.calls[1].tableCount, 3);
  EXPECT_FALSE(index.Locked());
  EXPECT_EQ(table->position(), 3);
}

TEST_F(RecordWrites, OldKeysComeFromTheRecordAsStoredNotFromTheLastRead) {
  MakeHandlerTable(sim.machine(), NumberedRows(3));
  auto table = Open();
  RecordingIndex& index = Attach(*table, "A.IDX");
  table->GoRecord(2);
  table->SetFieldText("NAME", "COPY OF 2");
  table->PutRecord(3);
  ASSERT_EQ(index.calls.size(), 2u);
  EXPECT_EQ(index.calls[0].record, 3);
  ASSERT_TRUE(index.calls[0].oldImage.has_value());
  EXPECT_EQ(index.calls[0].oldImage->substr(1, 12), "R3          ");
}

TEST_F(RecordWrites, AFailingKeyWritesNothingAndReleasesTheLocks) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open(true);
  RecordingIndex& first = Attach(*table, "A.IDX");
  RecordingIndex& second = Attach(*table, "B.IDX");
  second.failPrepare = true;
  const auto before = TableBytes();
  table->GoRecord(1);
  table->SetFieldText("NAME", "CHANGED");
  EXPECT_THROW(table->PutRecord(1), EXbaseError);
  table->BlankRecord();
  EXPECT_THROW(table->AppendRecord(), EXbaseError);
  EXPECT_EQ(TableBytes(), before);
  EXPECT_FALSE(first.Locked());
  EXPECT_FALSE(second.Locked());
  EXPECT_EQ(table->lockCount(), 0);
  for (const RecordedCall& call : first.calls)
    EXPECT_EQ(call.what, "prepare");
}

TEST_F(RecordWrites, AnIndexLockHeldElsewhereStopsTheWriteAndReleasesTheOthers) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open(true);
  RecordingIndex& first = Attach(*table, "A.IDX");
  Attach(*table, "B.IDX");
  const auto holder =
      HoldLock("B.IDX", XbLockRegionFor(TxbLokProtocol::Default, XbLockKind::Index, 0, 0, 0, true));
  const auto before = TableBytes();
  table->BlankRecord();
  const auto error = ErrorOf([&] { table->AppendRecord(); });
  EXPECT_EQ(error.first, "Error 33 in Lock of C:\\DATA\\B.IDX");
  EXPECT_EQ(TableBytes(), before);
  EXPECT_FALSE(first.Locked());
  EXPECT_TRUE(first.calls.empty());
}

TEST_F(RecordWrites, AHeaderLockHeldElsewhereStopsTheAppendAfterWaiting) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open(true);
  const auto holder = HoldLock("T.DBF", table->LockRegionOf(XbLockKind::Header));
  const auto before = TableBytes();
  const std::uint32_t started = sim.clock().TickCount();
  table->BlankRecord();
  const auto error = ErrorOf([&] { table->AppendRecord(); });
  EXPECT_EQ(error.first, "Error 33 in Lock of C:\\DATA\\T.DBF");
  EXPECT_GE(sim.clock().TickCount() - started, 99u * 50u);
  EXPECT_EQ(TableBytes(), before);
  EXPECT_EQ(table->lockCount(), 0);
}

TEST_F(RecordWrites, ARecordLockedByAnotherProgramIsNotWritten) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open(true);
  const auto holder = HoldLock("T.DBF", table->LockRegionOf(XbLockKind::Record, 2));
  const auto before = TableBytes();
  table->GoRecord(2);
  table->SetFieldText("NAME", "MINE");
  const auto error = ErrorOf([&] { table->PutRecord(2); });
  EXPECT_EQ(error.first, "Record locked by another user - C:\\DATA\\T.DBF");
  EXPECT_THROW(table->DeleteRecord(), EXbaseError);
  EXPECT_EQ(TableBytes(), before);
}

TEST_F(RecordWrites, AChangeKeepsFieldsAnotherProgramChangedMeanwhile) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto mine = Open(true);
  auto theirs = Open(true);
  mine->GoRecord(1);
  theirs->GoRecord(1);
  theirs->SetFieldNumber("NUM", 99);
  theirs->PutRecord(1);
  mine->SetFieldText("NAME", "MINE");
  mine->PutRecord(1);
  auto check = Open(true);
  check->GoRecord(1);
  EXPECT_EQ(check->GetFieldText("NAME"), "MINE        ");
  EXPECT_EQ(check->GetFieldNumber("NUM"), 99);
  // A deletion does not write back the stale NUM either.
  theirs->SetFieldNumber("NUM", 7);
  theirs->PutRecord(1);
  mine->DeleteRecord();
  check->GoRecord(1);
  EXPECT_TRUE(check->RecordDeleted());
  EXPECT_EQ(check->GetFieldNumber("NUM"), 7);
  EXPECT_EQ(check->GetFieldText("NAME"), "MINE        ");
  mine->RecallRecord();
  check->GoRecord(1);
  EXPECT_FALSE(check->RecordDeleted());
}

TEST_F(RecordWrites, PutRecordBeyondTheCountAppends) {
  MakeHandlerTable(sim.machine(), NumberedRows(1));
  auto table = Open();
  table->BlankRecord();
  table->SetFieldText("NAME", "TWO");
  table->PutRecord(5);
  EXPECT_EQ(table->recordCount(), 2);
  table->GoRecord(2);
  EXPECT_EQ(table->GetFieldText("NAME"), "TWO         ");
}

TEST_F(RecordWrites, TheByteAfterAnAppendedRecordIsTheEndMark) {
  MakeHandlerTable(sim.machine(), NumberedRows(1));
  auto table = Open();
  table->GoRecord(1);
  table->AppendRecord();
  table->Close();
  const auto bytes = TableBytes();
  EXPECT_EQ(bytes.back(), 0x1A);
  EXPECT_EQ(bytes.size(), table->headerLength() + 2u * table->recordLength() + 1);
}

TEST_F(RecordWrites, TheEndMarkAfterAnEncipheredRecordIsNotEnciphered) {
  MakeHandlerTable(sim.machine(), NumberedRows(1), false, "K");
  auto table = Open(false, "K");
  table->AppendRecord();
  table->Close();
  EXPECT_EQ(TableBytes().back(), 0x1A);
}

TEST_F(RecordWrites, TwoHandlersAppendingAndChangingOneSharedTableLoseNothing) {
  MakeHandlerTable(sim.machine(), {});
  auto first = Open(true);
  auto second = Open(true);
  for (int n = 1; n <= 40; ++n) {
    XBO_dBHandler& writer = n % 2 ? *first : *second;
    writer.BlankRecord();
    writer.SetFieldText("NAME", "N" + std::to_string(n));
    writer.SetFieldNumber("NUM", n);
    writer.AppendRecord();
    EXPECT_EQ(writer.position(), n);
    if (n % 5 == 0) {
      XBO_dBHandler& other = n % 2 ? *second : *first;
      other.GoRecord(n - 1);
      other.SetFieldNumber("NUM", 1000 + n - 1);
      other.PutRecord(n - 1);
    }
  }
  auto check = Open(true);
  EXPECT_EQ(check->recordCount(), 40);
  for (int n = 1; n <= 40; ++n) {
    check->GoRecord(n);
    EXPECT_EQ(check->GetFieldDisplay("NAME"), "N" + std::to_string(n));
    EXPECT_EQ(check->GetFieldNumber("NUM"), (n + 1) % 5 == 0 ? 1000 + n : n) << n;
  }
}

}  // namespace
}  // namespace tables::testing
