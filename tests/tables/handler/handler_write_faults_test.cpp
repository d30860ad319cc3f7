// Handler writes through every failure point of the disk, with an index file driven beside
// the table: each failure surfaces as the engine's error, every record reported written is
// there afterwards, none is left torn, and no lock outlives the write.
#include <gtest/gtest.h>

#include "tables/handler/dbf_object.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/create_table.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/faults/ledger.hpp"
#include "tests/tables/handler/recording_index.hpp"

namespace tables::testing {
namespace {

const std::string kTable = "C:\\DATA\\T.DBF";

class HandlerWriteFaults : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    CreateTable(kTable, 0x03, {{"NAME", 'C', 12, 0}, {"QTY", 'N', 6, 1}});
    XBO_dBaseFld table(kTable, false, true, "");
    for (int n = 1; n <= 3; ++n) {
      table.BlankRecord();
      table.SetFieldText("NAME", "BASE " + std::to_string(n));
      table.AppendRecord();
      baseline.Report(n, Image(table));
    }
    table.Close();
    sweep.Keep();
  }

  static std::string Image(const XBO_dBaseFld& table) {
    return {reinterpret_cast<const char*>(table.recordImage()), table.recordLength()};
  }

  void ExpectTable(const FaultRun& run) {
    XBO_dBaseFld table(kTable, false, false, "");
    const int count = table.recordCount();
    EXPECT_GE(count, ledger.highestReported()) << run.Describe();
    EXPECT_LE(count, ledger.highestReported() + (ledger.Attempted(count) ? 1 : 0))
        << run.Describe();
    for (int n = 1; n <= count; ++n) {
      table.ReadRecord(n);
      EXPECT_TRUE(ledger.Allows(n, Image(table)))
          << "record " << n << " reads \"" << Image(table) << "\" after " << run.Describe();
    }
  }

  TxbExpEngineScope expressions;
  FaultSweep sweep;
  Ledger baseline;
  Ledger ledger;
};

TEST_P(HandlerWriteFaults, ChangesAndAppends) {
  const int runs = sweep.Run(
      [&] {
        ledger = baseline;
        DBFObject table(kTable, GetParam(), true, "");
        auto index = std::make_unique<RecordingIndex>(table, "C:\\DATA\\A.IDX");
        RecordingIndex& recording =
            static_cast<RecordingIndex&>(table.AdoptIndexFile(std::move(index)));
        try {
          table.GoRecord(2);
          table.SetFieldText("NAME", "CHANGED 2");
          ledger.Attempt(2, Image(table));
          table.PutRecord(2);
          ledger.Confirm();
          table.BlankRecord();
          table.SetFieldText("NAME", "APPENDED");
          ledger.Attempt(table.recordCount() + 1, Image(table));
          table.AppendRecord();
          ledger.Confirm();
          std::string deleted = Image(table);
          deleted[0] = '*';
          ledger.Attempt(table.position(), deleted);
          table.DeleteRecord();
          ledger.Confirm();
        } catch (const EXbaseError&) {
          EXPECT_EQ(table.lockCount(), 0);
          EXPECT_FALSE(recording.Locked());
          throw;
        }
        table.Close();
      },
      [&](const FaultRun& run) { ExpectTable(run); });
  EXPECT_GT(runs, 10);
}

INSTANTIATE_TEST_SUITE_P(Sharing, HandlerWriteFaults, ::testing::Bool());

}  // namespace
}  // namespace tables::testing
