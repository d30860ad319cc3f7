#include "tables/storage/memo_file.hpp"

#include <gtest/gtest.h>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/engine_error_of.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using testing::ErrorOf;

std::uint32_t LE32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint32_t BE32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 |
         bytes[at + 3];
}

// A table with one memo field of the given version, open for writing, on a blank record.
class MemoTest : public ::testing::Test {
 protected:
  void Make(std::uint8_t version, std::string_view key = {}, std::uint32_t blockSize = 0,
            bool shared = false) {
    CreateTable(Path("M"), version, {{"NOTE", 'M', version == 0x30 ? 4 : 10, 0}}, key, blockSize);
    memoPath = Path(version == 0xF5 || version == 0x30 ? "M.FPT" : "M.DBT");
    table = std::make_unique<XBO_dBaseFld>(Path("M"), shared, true, key);
    table->BlankRecord();
  }

  std::uint32_t Write(std::string_view text) {
    table->SetMemoText(1, text);
    return table->MemoBlock(1);
  }

  // The memo file as stored, after the table has written what an exclusive open keeps back.
  std::vector<std::uint8_t> MemoBytes() {
    table->Flush();
    return machine.ReadBytes(memoPath);
  }

  static std::string Path(std::string_view name) { return testing::StorageTestMachine::Path(name); }

  testing::StorageTestMachine machine;
  std::unique_ptr<XBO_dBaseFld> table;
  std::string memoPath;
};

TEST_F(MemoTest, A510ByteTextFillsOneDBaseIIIBlock) {
  Make(0x83);
  const std::string text(510, 'x');
  EXPECT_EQ(Write(text), 1u);
  const std::vector<std::uint8_t> bytes = MemoBytes();
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes[512 + 509], 'x');
  EXPECT_EQ(bytes[512 + 510], 0x1A);
  EXPECT_EQ(bytes[512 + 511], 0x1A);
  EXPECT_EQ(LE32(bytes, 0), 2u);
  EXPECT_EQ(table->GetMemoText(1), text);
  EXPECT_EQ(table->GetFieldText(1), "         1");
}

TEST_F(MemoTest, DBaseIIIReusesBlocksOnlyForTextsThatFit) {
  Make(0x83);
  EXPECT_EQ(Write(std::string(1000, 'a')), 1u);
  EXPECT_EQ(Write("short"), 1u);
  EXPECT_EQ(table->GetMemoText(1), "short");
  EXPECT_EQ(Write(std::string(1100, 'b')), 3u);  // the two old blocks stay unused
  EXPECT_EQ(LE32(MemoBytes(), 0), 6u);
  EXPECT_EQ(table->GetMemoText(1), std::string(1100, 'b'));
}

// Some writers end a text with one 0x1A: a 511-byte text then fills exactly one block, and
// the memo after it starts in the next.
TEST_F(MemoTest, DBaseIIITextsAreRewrittenInPlaceOnlyWithinTheBlocksOfTheirText) {
  Make(0x83);
  std::vector<std::uint8_t> bytes = machine.ReadBytes(memoPath);
  bytes.resize(3 * 512, 0);
  bytes[0] = 3;
  std::fill(bytes.begin() + 512, bytes.begin() + 1023, 'a');
  bytes[1023] = 0x1A;
  const std::string next = "next\x1A\x1A";
  std::copy(next.begin(), next.end(), bytes.begin() + 1024);
  machine.WriteBytes(memoPath, bytes);
  for (int block : {1, 2}) {
    table->SetFieldNumber(1, block);
    table->AppendRecord();
  }
  table->ReadRecord(1);
  EXPECT_EQ(table->GetMemoText(1), std::string(511, 'a'));
  EXPECT_EQ(Write(std::string(600, 'b')), 3u);
  table->ReadRecord(2);
  EXPECT_EQ(table->GetMemoText(1), "next");
}

TEST_F(MemoTest, DBaseIIITextsEndAtTheirFirstEndMark) {
  Make(0x83);
  Write(
      std::string("before\x1A"
                  "after",
                  12));
  EXPECT_EQ(table->GetMemoText(1), "before");
  Write(std::string(70000, 'z'));
  EXPECT_EQ(table->GetMemoText(1).size(), 65519u);
}

TEST_F(MemoTest, EncryptedDBaseIIITextsCarryTheirLength) {
  Make(0x83, "q3#Lm9!");
  const std::string text(
      "A\x1A"
      "B",
      3);
  EXPECT_EQ(Write(text), 1u);
  const std::vector<std::uint8_t> bytes = MemoBytes();
  EXPECT_EQ(LE32(bytes, 512), 3u);
  EXPECT_EQ(bytes[516], 'A' ^ 0x71);
  EXPECT_EQ(bytes[519], 0x1A);
  EXPECT_EQ(bytes[520], 0x1A);
  EXPECT_EQ(table->GetMemoText(1), text);
}

// While the table key changes, each text is read under the old key and written again under the
// new one: only texts written under a key carry the length.
TEST_F(MemoTest, DBaseIIITextsMoveBetweenPlainAndEncryptedWithTheirLengthPrefix) {
  const std::string key = "q3#Lm9!";
  struct Change {
    std::string from, to;
  };
  for (const Change& change : {Change{"", key}, Change{key, ""}}) {
    Make(0x83, change.from);
    Write("hello");
    XBobjMemo& memo = table->MemoFile();
    memo.SetKeys(true, change.from, change.to);
    EXPECT_EQ(memo.MemoText(1), "hello") << change.to;
    std::uint32_t block = 1;
    memo.MemoWrite(reinterpret_cast<const std::uint8_t*>("hello again"), block, 11);
    memo.SetKeys(!change.to.empty(), change.to, change.to);
    EXPECT_EQ(memo.MemoText(block), "hello again") << change.to;
    const std::vector<std::uint8_t> bytes = MemoBytes();
    const std::size_t at = block * 512u + (change.to.empty() ? 0 : 4);
    EXPECT_EQ(bytes[at + 11], 0x1A) << change.to;
    if (!change.to.empty()) {
      EXPECT_EQ(LE32(bytes, block * 512u), 11u);
    }
    table.reset();
    machine.machine().files().Remove(Path("M.DBF"));
    machine.machine().files().Remove(memoPath);
  }
}

TEST_F(MemoTest, ANextFreeBlockInsideUsedBlocksIsNotTrusted) {
  Make(0x83, {}, 0, true);  // shared: the header is read again before each allocation
  Write(std::string(600, 'a'));
  table->WriteRecord(0);
  std::vector<std::uint8_t> bytes = MemoBytes();
  bytes[0] = 1;
  machine.WriteBytes(memoPath, bytes);
  table->BlankRecord();
  EXPECT_EQ(Write("new"), 3u);
  table->ReadRecord(1);
  EXPECT_EQ(table->GetMemoText(1), std::string(600, 'a'));
}

TEST_F(MemoTest, ANextFreeBlockPastTheEndOfTheFileIsNotTrusted) {
  for (std::uint8_t version : {0x83, 0xF5}) {
    Make(version, {}, 0, true);  // shared: the header is read again before each allocation
    std::vector<std::uint8_t> bytes = machine.ReadBytes(memoPath);
    const std::uint32_t end =
        static_cast<std::uint32_t>(bytes.size()) / table->MemoFile().blockSize();
    bytes[version == 0x83 ? 2 : 1] = 1;  // a damaged header: 65536 blocks further on
    machine.WriteBytes(memoPath, bytes);
    EXPECT_EQ(Write("new"), end) << int{version};
    EXPECT_EQ(MemoBytes().size(), (end + 1) * table->MemoFile().blockSize()) << int{version};
    EXPECT_EQ(table->GetMemoText(1), "new");
    table.reset();
    machine.machine().files().Remove(Path("M.DBF"));
    machine.machine().files().Remove(memoPath);
  }
}

TEST_F(MemoTest, DBaseIVBlocksHaveAHeaderAndAFreeChain) {
  Make(0x8B);
  EXPECT_EQ(Write(std::string(300, 'a')), 1u);
  std::vector<std::uint8_t> bytes = MemoBytes();
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 512, bytes.begin() + 516),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0x08, 0x00}));
  EXPECT_EQ(LE32(bytes, 516), 308u);
  EXPECT_EQ(Write(std::string(1500, 'b')), 2u);  // block 1 goes on the free chain
  bytes = MemoBytes();
  EXPECT_EQ(LE32(bytes, 0), 1u);
  EXPECT_EQ(LE32(bytes, 512), 5u);      // the next run: the end of the file
  EXPECT_EQ(LE32(bytes, 512 + 4), 1u);  // one block long
  EXPECT_EQ(table->GetMemoText(1), std::string(1500, 'b'));

  table->WriteRecord(0);
  table->BlankRecord();
  EXPECT_EQ(Write("reuse"), 1u);
  EXPECT_EQ(LE32(MemoBytes(), 0), 5u);
}

// The header of a dBase IV memo file heads its free chain: left stale on disk (a program ended
// before closing its table), it would hand out the blocks of memos written since as free.
TEST_F(MemoTest, DBaseIVMemosWrittenBeforeAnAbruptEndSurviveTheNextWrite) {
  Make(0x8B);
  Write("written before the end");
  table->WriteRecord(0);
  const std::vector<std::uint8_t> tableBytes = machine.ReadBytes(Path("M.DBF"));
  const std::vector<std::uint8_t> memoBytes = machine.ReadBytes(memoPath);
  table.reset();
  machine.WriteBytes(Path("M.DBF"), tableBytes);
  machine.WriteBytes(memoPath, memoBytes);
  table = std::make_unique<XBO_dBaseFld>(Path("M"), false, true, "");
  table->BlankRecord();
  EXPECT_EQ(Write("next"), 2u);
  table->ReadRecord(1);
  EXPECT_EQ(table->GetMemoText(1), "written before the end");
}

TEST_F(MemoTest, DBaseIVSplitsALongerFreeRun) {
  Make(0x8B);
  Write(std::string(1200, 'a'));  // blocks 1-3
  table->WriteRecord(0);
  table->BlankRecord();
  Write("tail");  // block 4
  table->WriteRecord(0);
  table->ReadRecord(1);
  Write(std::string(3000, 'c'));  // frees 1-3, goes to 5
  table->WriteRecord(1);
  table->BlankRecord();
  EXPECT_EQ(Write("x"), 1u);
  const std::vector<std::uint8_t> bytes = MemoBytes();
  EXPECT_EQ(LE32(bytes, 0), 2u);
  EXPECT_EQ(LE32(bytes, 2 * 512 + 4), 2u);  // the remaining run of two blocks
  table->ReadRecord(2);
  EXPECT_EQ(table->GetMemoText(1), "tail");
}

TEST_F(MemoTest, DBaseIVBlocksWithoutTheirMarkAreFormatErrors) {
  Make(0x8B);
  Write("text");
  std::vector<std::uint8_t> bytes = MemoBytes();
  bytes[512] = 0;
  machine.WriteBytes(memoPath, bytes);
  EXPECT_EQ(
      ErrorOf([&] { table->GetMemoText(1); }),
      std::make_pair(std::string("dBase memo record has format error - C:\\DATA\\M.DBT"), 6199));
}

// Block 0 must hold the file header as far as it is read (else memos are written over it), and
// the size is kept in two bytes (a larger one would make each memo write reach gigabytes).
TEST_F(MemoTest, DBaseIVBlockSizesThatCannotBeTrueAreFormatErrors) {
  for (std::uint32_t size : {0u, 4u, 31u, 0x10000u, 0x40000000u}) {
    Make(0x8B);
    table.reset();
    std::vector<std::uint8_t> bytes = machine.ReadBytes(memoPath);
    for (int i = 0; i < 4; ++i)
      bytes[20 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    machine.WriteBytes(memoPath, bytes);
    XBO_dBaseFld reopened(Path("M"), false, true, "");
    reopened.BlankRecord();
    EXPECT_EQ(
        ErrorOf([&] { reopened.SetMemoText(1, "text"); }),
        std::make_pair(std::string("dBase memo record has format error - C:\\DATA\\M.DBT"), 6199))
        << size;
    EXPECT_EQ(machine.ReadBytes(memoPath), bytes) << size;
    reopened.Close();
    machine.machine().files().Remove(Path("M.DBF"));
    machine.machine().files().Remove(memoPath);
  }
}

// What a new file may take and what an open accepts follow one rule: the largest multiple of
// 512 that a two-byte size holds is made, used and read back.
TEST_F(MemoTest, DBaseIVFilesTakeTheLargestBlockSizeTheirHeaderHolds) {
  Make(0x8B, {}, 65024);
  EXPECT_EQ(LE32(MemoBytes(), 20), 65024u);
  const std::string text(70000, 't');
  EXPECT_EQ(Write(text), 1u);
  table->WriteRecord(0);
  table.reset();
  XBO_dBaseFld reopened(Path("M"), false, true, "");
  reopened.ReadRecord(1);
  EXPECT_EQ(reopened.GetMemoText(1), text);
  EXPECT_EQ(machine.ReadBytes(memoPath).size(), 3u * 65024);
  reopened.Close();
  EXPECT_THROW(CreateTable(Path("N"), 0x8B, {{"NOTE", 'M', 10, 0}}, {}, 65536), EXbaseError);
}

TEST_F(MemoTest, ALoopingFreeChainIsAFormatError) {
  Make(0x8B);
  Write(std::string(600, 'a'));
  Write(std::string(1600, 'b'));  // frees 1-2, chain: 1 -> end
  std::vector<std::uint8_t> bytes = MemoBytes();
  bytes[512] = 1;  // the run at 1 now points at itself
  machine.WriteBytes(memoPath, bytes);
  table->BlankRecord();
  EXPECT_EQ(ErrorOf([&] { Write(std::string(5000, 'c')); }).second, 6199);
}

TEST_F(MemoTest, ADamagedFreeChainLeavesTheTextBeingReplacedIntact) {
  Make(0x8B);
  Write(std::string(600, 'a'));
  EXPECT_EQ(Write(std::string(1600, 'b')), 3u);  // frees 1-2, chain: 1 -> end
  std::vector<std::uint8_t> bytes = MemoBytes();
  bytes[512] = 1;  // the run at 1 now points at itself
  machine.WriteBytes(memoPath, bytes);
  EXPECT_EQ(ErrorOf([&] { Write(std::string(5000, 'c')); }).second, 6199);
  EXPECT_EQ(table->MemoBlock(1), 3u);
  EXPECT_EQ(table->GetMemoText(1), std::string(1600, 'b'));
}

TEST_F(MemoTest, FoxProBlocksAreBigEndian) {
  Make(0xF5);
  EXPECT_EQ(Write("hello"), 8u);
  std::vector<std::uint8_t> bytes = MemoBytes();
  EXPECT_EQ(BE32(bytes, 0), 9u);
  EXPECT_EQ(BE32(bytes, 512), 1u);
  EXPECT_EQ(BE32(bytes, 516), 5u);
  EXPECT_EQ(Write(std::string(56, 'a')), 8u);  // still one block of 64
  EXPECT_EQ(Write(std::string(57, 'a')), 9u);  // two blocks: moves to the end
  EXPECT_EQ(BE32(MemoBytes(), 0), 11u);
  bytes = MemoBytes();
  bytes[9 * 64 + 3] = 7;
  machine.WriteBytes(memoPath, bytes);
  EXPECT_EQ(ErrorOf([&] { table->GetMemoText(1); }).second, 6199);
}

TEST_F(MemoTest, ALengthPastTheEndOfTheFileIsAFormatError) {
  Make(0xF5);
  Write("hello");
  std::vector<std::uint8_t> bytes = MemoBytes();
  bytes[516] = 0x7F;
  machine.WriteBytes(memoPath, bytes);
  EXPECT_EQ(ErrorOf([&] { table->GetMemoText(1); }).second, 6199);
}

TEST_F(MemoTest, AnEmptyTextWithoutMemoLeavesTheFieldAtZero) {
  Make(0x83);
  table->SetMemoText(1, "");
  EXPECT_EQ(table->GetFieldText(1), std::string(10, ' '));
  EXPECT_EQ(table->MemoBlock(1), 0u);
  EXPECT_EQ(MemoBytes().size(), 512u);
}

TEST_F(MemoTest, AMissingMemoFileIsReportedWhenFirstUsed) {
  Make(0x83);
  table.reset();
  machine.machine().files().Remove(memoPath);
  XBO_dBaseFld reopened(Path("M"), false, true, "");
  reopened.BlankRecord();
  reopened.SetFieldNumber(1, 1);
  EXPECT_EQ(ErrorOf([&] { reopened.GetMemoText(1); }),
            std::make_pair(std::string("File not found - C:\\DATA\\M.DBT"), 6101));
}

TEST_F(MemoTest, AVisualTableWithoutTheMemoFlagHasNoMemoFile) {
  Make(0x30);
  Write("text");
  table->WriteRecord(0);
  table.reset();
  std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("M.DBF"));
  bytes[28] = 0;
  machine.WriteBytes(Path("M.DBF"), bytes);
  XBO_dBaseFld reopened(Path("M"), false, true, "");
  EXPECT_FALSE(reopened.hasMemo());
  reopened.ReadRecord(1);
  EXPECT_EQ(reopened.MemoBlock(1), 8u);
  EXPECT_EQ(reopened.GetMemoText(1), "");
  EXPECT_EQ(ErrorOf([&] { reopened.SetMemoText(1, "new"); }).first,
            "dBase field is of incorrect type - Table has no memo file for field "
            "C:\\DATA\\M.DBF->NOTE");
}

TEST_F(MemoTest, TheMemoLockIsRetriedOnTheMachineClock) {
  Make(0x83, {}, 0, true);
  XBO_dBaseFld other(Path("M"), true, true, "");
  const XbLockRegion region =
      XbLockRegionFor(TxbLokProtocol::Default, XbLockKind::Memo, 0, 0, 0, false);
  ASSERT_TRUE(other.MemoFile().LockRegion(region.offset, region.length));
  const std::uint64_t before = machine.clock().Elapsed();
  EXPECT_EQ(ErrorOf([&] { Write("blocked"); }),
            std::make_pair(std::string("Record locked by another user - C:\\DATA\\M.DBT"), 1112));
  EXPECT_EQ(machine.clock().Elapsed() - before, 99u * 50u);
  EXPECT_EQ(MemoBytes().size(), 512u);
  other.MemoFile().Unlock();
  EXPECT_EQ(Write("free"), 1u);
}

TEST_F(MemoTest, ExclusiveFilesWriteTheirHeaderAtFlushAndCloseSharedOnesAtOnce) {
  for (bool shared : {false, true}) {
    Make(0xF5, {}, 0, shared);
    const std::uint32_t created = BE32(machine.ReadBytes(memoPath), 0);
    EXPECT_EQ(Write("first"), created);
    table->AppendRecord();
    EXPECT_EQ(Write(std::string(100, 'b')), created + 1);
    table->AppendRecord();
    const std::uint32_t stored = BE32(machine.ReadBytes(memoPath), 0);
    EXPECT_EQ(stored, shared ? created + 3 : created) << shared;
    table->Close();
    const std::vector<std::uint8_t> bytes = machine.ReadBytes(memoPath);
    EXPECT_EQ(BE32(bytes, 0), created + 3) << shared;
    EXPECT_EQ(bytes.size(), (created + 3) * 64u) << shared;
    {
      XBO_dBaseFld reopened(Path("M"), false, true, "");
      reopened.ReadRecord(2);
      EXPECT_EQ(reopened.GetMemoText(1), std::string(100, 'b'));
    }
    machine.machine().files().Remove(Path("M.DBF"));
    machine.machine().files().Remove(memoPath);
  }
}

TEST_F(MemoTest, RenamingTheTableRenamesTheMemoFile) {
  Make(0x8B);
  Write("kept");
  table->Rename("c:\\data\\renamed");
  EXPECT_EQ(table->path(), "C:\\DATA\\RENAMED.DBF");
  const std::vector<std::uint8_t> bytes = machine.ReadBytes(Path("RENAMED.DBT"));
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 17), std::string("RENAMED\0\0", 9));
  EXPECT_FALSE(machine.machine().files().Exists(memoPath));
  EXPECT_EQ(table->GetMemoText(1), "kept");
}

}  // namespace
}  // namespace tables
