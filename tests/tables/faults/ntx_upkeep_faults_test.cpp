// Record changes applied to an NTX file through every failure point of the disk: the failure
// surfaces as the engine's error for the call that failed, naming the file, and an apply that
// went through leaves a file that passes the verifier.
#include <gtest/gtest.h>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/index/ntx_upkeep_support.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;
using testing::UpkeepTable;

const std::string kTable = "C:\\DATA\\T.DBF";

testing::Fill Name(const std::string& name) {
  return [name](XBO_dBaseFld& table) { table.SetFieldText("NAME", name); };
}

TEST(NtxUpkeepFaults, AnAppendThatSplitsTheRootAndAKeyThatMoves) {
  TxbExpEngineScope expressions;
  FaultSweep sweep;
  {
    // Key length 6: a page holds 62 keys, so the next append splits the root leaf.
    testing::NtxUpkeepTable setup(sweep.storage(), {{"NAME", 'C', 6}});
    for (int n = 1; n <= 62; ++n) {
      setup.table().BlankRecord();
      setup.table().SetFieldText("NAME", "K" + std::to_string(1000 + 2 * n));
      setup.table().AppendRecord();
    }
    setup.Index(testing::TagDefinition("T", "NAME"));
  }
  sweep.Keep();
  const std::size_t keptSize = sweep.storage().ReadBytes("C:\\DATA\\T.NTX").size();
  const int runs = sweep.Run(
      [&] {
        XBO_dBaseFld table(kTable, false, true, "");
        {
          XBobjNTXFile index(table, "T.NTX", "", XbIndexOpenMode{false, false, true});
          UpkeepTable::Append(table, index, Name("K1051"));
          UpkeepTable::Change(table, index, 7, Name("K0001"));
        }
        table.Close();
      },
      [&](const FaultRun& run) {
        if (run.raised) {
          EXPECT_NE(run.message.find("T."), std::string::npos) << run.Describe();
          return;
        }
        if (!run.fault) {
          EXPECT_EQ(sweep.storage().ReadBytes("C:\\DATA\\T.NTX").size(), keptSize + 2048)
              << "the root split";
        }
        XBO_dBaseFld table(kTable, false, true, "");
        XBobjNTXFile index(table, "T.NTX", "", XbIndexOpenMode{false, false, false});
        EXPECT_EQ(testing::Faults(XbVerifyIndexFamily(index)), "") << run.Describe();
      });
  EXPECT_GT(runs, 30);
}

}  // namespace
}  // namespace tables
