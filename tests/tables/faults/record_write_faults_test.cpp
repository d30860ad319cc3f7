// Appends, record updates and header writes through every failure point of the disk: the
// failure surfaces as the engine's error, every record reported written is there afterwards and
// no record is left half old and half new.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/faults/ledger.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;
using testing::Ledger;

const std::string kTable = "C:\\DATA\\T.DBF";
constexpr int kBaseRecords = 3;

struct TableCase {
  const char* name;
  std::uint8_t version;
  const char* key;
  bool shared;
};

void PrintTo(const TableCase& tableCase, std::ostream* out) {
  *out << tableCase.name;
}

class RecordWriteFaults : public ::testing::TestWithParam<TableCase> {
 protected:
  void SetUp() override {
    CreateTable(kTable, GetParam().version, {{"NAME", 'C', 12, 0}, {"QTY", 'N', 6, 1}}, key());
    XBO_dBaseFld table(kTable, false, true, key());
    for (int n = 1; n <= kBaseRecords; ++n) {
      table.BlankRecord();
      table.SetFieldText("NAME", "BASE " + std::to_string(n));
      table.SetFieldNumber("QTY", n * 1.5);
      table.AppendRecord();
      baseline.Report(n, Image(table));
    }
    table.Close();
    sweep.Keep();
  }

  std::string key() const { return GetParam().key; }
  std::unique_ptr<XBO_dBaseFld> Open() {
    return std::make_unique<XBO_dBaseFld>(kTable, GetParam().shared, true, key());
  }
  static std::string Image(const XBO_dBaseFld& table) {
    return {reinterpret_cast<const char*>(table.recordImage()), table.recordLength()};
  }

  // Reopens the table on a healthy disk: every record reads as reported (or as the write under
  // way, in full), and the table takes one more record.
  void ExpectTable(const FaultRun& run) {
    XBO_dBaseFld table(kTable, false, true, key());
    const int count = table.recordCount();
    EXPECT_GE(count, ledger.highestReported()) << run.Describe();
    EXPECT_LE(count, ledger.highestReported() + (ledger.Attempted(count) ? 1 : 0))
        << run.Describe();
    for (int n = 1; n <= count; ++n) {
      table.ReadRecord(n);
      EXPECT_TRUE(ledger.Allows(n, Image(table)))
          << "record " << n << " reads \"" << Image(table) << "\" after " << run.Describe();
    }
    table.BlankRecord();
    table.SetFieldText("NAME", "AFTERWARDS");
    table.AppendRecord();
    const std::string added = Image(table);
    table.Close();
    XBO_dBaseFld reopened(kTable, false, false, key());
    ASSERT_EQ(reopened.recordCount(), count + 1) << run.Describe();
    reopened.ReadRecord(count + 1);
    EXPECT_EQ(Image(reopened), added) << run.Describe();
  }

  void Append(XBO_dBaseFld& table, const std::string& name) {
    table.BlankRecord();
    table.SetFieldText("NAME", name);
    table.SetFieldNumber("QTY", 99.5);
    ledger.Attempt(table.recordCount() + 1, Image(table));
    table.AppendRecord();
    ledger.Confirm();
  }

  void Update(XBO_dBaseFld& table, int n, const std::string& name, bool deleted) {
    table.ReadRecord(n);
    table.SetFieldText("NAME", name);
    table.SetRecordDeleted(deleted);
    ledger.Attempt(n, Image(table));
    table.WriteRecord(n);
    ledger.Confirm();
  }

  FaultSweep sweep;
  Ledger baseline;
  Ledger ledger;
};

TEST_P(RecordWriteFaults, Appends) {
  const int runs = sweep.Run(
      [&] {
        ledger = baseline;
        auto table = Open();
        Append(*table, "APPENDED 1");
        Append(*table, "APPENDED 2");
        table->Close();
      },
      [&](const FaultRun& run) { ExpectTable(run); });
  EXPECT_GT(runs, 10);
}

TEST_P(RecordWriteFaults, Updates) {
  sweep.Run(
      [&] {
        ledger = baseline;
        auto table = Open();
        Update(*table, 2, "CHANGED 2", false);
        Update(*table, 3, "CHANGED 3", true);
        table->Close();
      },
      [&](const FaultRun& run) { ExpectTable(run); });
}

// The header follows the records: at close for an exclusive table, after each change for a
// shared one, and when a whole-table lock is released.
TEST_P(RecordWriteFaults, HeaderWritesUnderATableLock) {
  sweep.Run(
      [&] {
        ledger = baseline;
        auto table = Open();
        if (!table->LockFile()) return;  // a table lock that cannot be had is no error
        Append(*table, "LOCKED 1");
        Update(*table, 1, "LOCKED 2", false);
        table->Unlock();
        table->Flush();
        table->Close();
      },
      [&](const FaultRun& run) { ExpectTable(run); });
}

INSTANTIATE_TEST_SUITE_P(Tables, RecordWriteFaults,
                         ::testing::Values(TableCase{"PlainExclusive", 0x03, "", false},
                                           TableCase{"PlainShared", 0x03, "", true},
                                           TableCase{"EncryptedExclusive", 0x83, "q3#Lm9!", false},
                                           TableCase{"EncryptedShared", 0xF5, "q3#Lm9!", true},
                                           TableCase{"VisualShared", 0x30, "", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables
