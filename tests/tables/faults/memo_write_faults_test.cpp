// Memo writes of each memo file kind through every failure point of the disk: new memos, texts
// rewritten in their own blocks and texts that move. A memo whose replacement failed still
// reads in full, every memo reported written is there afterwards, and the memo file stays fit
// for new texts (no block is handed out twice).
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/faults/ledger.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;
using testing::Ledger;

const std::string kTable = "C:\\DATA\\T.DBF";

struct MemoCase {
  const char* name;
  std::uint8_t version;
  const char* key;
  bool shared;
};

void PrintTo(const MemoCase& memoCase, std::ostream* out) {
  *out << memoCase.name;
}

std::string Text(char letter, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i)
    text += static_cast<char>(letter + i % 7);
  return text;
}

// Record 1 holds a long memo, record 2 a short one, record 3 none.
const std::vector<std::string> kBaseMemos = {Text('a', 1500), Text('k', 100), ""};

class MemoWriteFaults : public ::testing::TestWithParam<MemoCase> {
 protected:
  void SetUp() override {
    const int memoLength = GetParam().version == 0x30 ? 4 : 10;
    CreateTable(kTable, GetParam().version, {{"NAME", 'C', 12, 0}, {"NOTE", 'M', memoLength, 0}},
                key());
    XBO_dBaseFld table(kTable, false, true, key());
    for (std::size_t i = 0; i < kBaseMemos.size(); ++i) {
      table.BlankRecord();
      table.SetFieldText("NAME", "BASE " + std::to_string(i + 1));
      table.SetMemoText("NOTE", kBaseMemos[i]);
      table.AppendRecord();
      baseline.Report(static_cast<int>(i + 1), kBaseMemos[i]);
    }
    table.Close();
    sweep.Keep();
  }

  std::string key() const { return GetParam().key; }

  // Writes text as the memo of record n (n past the end appends a record).
  void WriteMemo(XBO_dBaseFld& table, int n, const std::string& text) {
    if (n <= table.recordCount()) {
      table.ReadRecord(n);
    } else {
      table.BlankRecord();
    }
    const std::uint32_t oldBlock = table.MemoBlock(table.FieldNumberOf("NOTE"));
    ledger.Attempt(n, text);
    table.SetMemoText("NOTE", text);
    const std::uint32_t newBlock = table.MemoBlock(table.FieldNumberOf("NOTE"));
    if (oldBlock != 0 && newBlock != oldBlock) movedRecord = n;
    table.WriteRecord(n);
    movedRecord = 0;
    ledger.Confirm();
  }

  // A dBase IV memo file puts the blocks of a text that moved on its free chain as soon as the
  // new text is written; the record names them until it is written itself. A record write
  // that fails then (like an edit given up) leaves the record naming free blocks, by design of
  // that memo kind: such a record is not held to its old text, and gets a fresh memo afterwards.
  bool NamesFreedBlocks(int n) const { return GetParam().version == 0x8B && n == movedRecord; }

  static std::string MemoOrError(XBO_dBaseFld& table) {
    try {
      return table.GetMemoText("NOTE");
    } catch (const EXbaseError& error) {
      return std::string("<") + error.what() + ">";
    }
  }

  // Every memo reads as reported (or as the write under way, in full); then every record gets
  // a new memo on a healthy disk, and all of them read back.
  void ExpectMemos(const FaultRun& run) {
    XBO_dBaseFld table(kTable, false, true, key());
    const int count = table.recordCount();
    EXPECT_GE(count, ledger.highestReported()) << run.Describe();
    for (int n = 1; n <= count; ++n) {
      if (NamesFreedBlocks(n)) continue;
      table.ReadRecord(n);
      const std::string text = MemoOrError(table);
      EXPECT_TRUE(ledger.Allows(n, text)) << "record " << n << " has the memo \""
                                          << text.substr(0, 80) << "\" after " << run.Describe();
    }
    std::vector<std::string> fresh;
    for (int n = 1; n <= count; ++n) {
      fresh.push_back(Text('A', 150 + 230 * static_cast<std::size_t>(n)));
      table.ReadRecord(n);
      if (NamesFreedBlocks(n)) table.SetFieldNumber("NOTE", 0);
      table.SetMemoText("NOTE", fresh.back());
      table.WriteRecord(n);
    }
    table.Close();
    XBO_dBaseFld reopened(kTable, false, false, key());
    for (int n = 1; n <= count; ++n) {
      reopened.ReadRecord(n);
      EXPECT_EQ(MemoOrError(reopened), fresh[n - 1]) << "record " << n << ", " << run.Describe();
    }
  }

  FaultSweep sweep;
  Ledger baseline;
  Ledger ledger;
  int movedRecord = 0;  // a record whose memo moved while the record was not yet written
};

TEST_P(MemoWriteFaults, ShorterTextInItsOwnBlocks) {
  sweep.Run(
      [&] {
        ledger = baseline;
        movedRecord = 0;
        XBO_dBaseFld table(kTable, GetParam().shared, true, key());
        WriteMemo(table, 1, Text('s', 900));
        table.Close();
      },
      [&](const FaultRun& run) { ExpectMemos(run); });
}

TEST_P(MemoWriteFaults, LongerTextMoves) {
  sweep.Run(
      [&] {
        ledger = baseline;
        movedRecord = 0;
        XBO_dBaseFld table(kTable, GetParam().shared, true, key());
        WriteMemo(table, 2, Text('m', 1300));
        table.Close();
      },
      [&](const FaultRun& run) { ExpectMemos(run); });
}

TEST_P(MemoWriteFaults, NewMemos) {
  sweep.Run(
      [&] {
        ledger = baseline;
        movedRecord = 0;
        XBO_dBaseFld table(kTable, GetParam().shared, true, key());
        WriteMemo(table, 3, Text('n', 200));
        WriteMemo(table, 4, Text('p', 50));
        table.Close();
      },
      [&](const FaultRun& run) { ExpectMemos(run); });
}

INSTANTIATE_TEST_SUITE_P(
    Memos, MemoWriteFaults,
    ::testing::Values(MemoCase{"DBaseIIIExclusive", 0x83, "", false},
                      MemoCase{"DBaseIIIEncryptedShared", 0x83, "q3#Lm9!", true},
                      MemoCase{"DBaseIVExclusive", 0x8B, "", false},
                      MemoCase{"DBaseIVShared", 0x8B, "", true},
                      MemoCase{"DBaseIVEncryptedExclusive", 0x8B, "q3#Lm9!", false},
                      MemoCase{"FoxShared", 0xF5, "", true},
                      MemoCase{"FoxEncryptedExclusive", 0xF5, "q3#Lm9!", false},
                      MemoCase{"VisualExclusive", 0x30, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables
