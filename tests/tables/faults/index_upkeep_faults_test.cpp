// Record changes applied to a compound file through every failure point of the disk: the
// failure surfaces as the engine's error for the call that failed, and an apply that went
// through leaves a file that passes the verifier.
#include <gtest/gtest.h>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;
using testing::UpkeepTable;

const std::string kTable = "C:\\DATA\\T.DBF";

TEST(IndexUpkeepFaults, AppendsThatSplitALeafAndAChange) {
  TxbExpEngineScope expressions;
  FaultSweep sweep;
  {
    UpkeepTable setup(sweep.storage(), {{"NAME", 'C', 10}});
    for (int n = 1; n <= 3000; ++n) {
      setup.table().BlankRecord();
      setup.table().SetFieldText("NAME", "K" + std::to_string(100000 + 2 * n));
      setup.table().AppendRecord();
    }
    setup.Index({testing::TagDefinition("N", "NAME")});
  }
  sweep.Keep();
  const std::size_t keptSize = sweep.storage().ReadBytes("C:\\DATA\\T.CDX").size();
  const auto fill = [](const std::string& name) {
    return [name](XBO_dBaseFld& table) { table.SetFieldText("NAME", name); };
  };
  const int runs = sweep.Run(
      [&] {
        XBO_dBaseFld table(kTable, false, true, "");
        {
          XBobjCDXFile index(table, "T.CDX", "", XbIndexOpenMode{false, false, true});
          for (int n = 1; n < 80; n += 2)
            UpkeepTable::Append(table, index, fill("K" + std::to_string(101000 + n)));
          UpkeepTable::Change(table, index, 7, fill("K" + std::to_string(100001)));
          // The file is open exclusively: its changes are kept until written out here.
          index.WriteDeferred();
        }
        table.Close();
      },
      [&](const FaultRun& run) {
        if (run.raised) return;
        if (!run.fault) {
          EXPECT_GE(sweep.storage().ReadBytes("C:\\DATA\\T.CDX").size(), keptSize + 512)
              << "a leaf split";
        }
        XBO_dBaseFld table(kTable, false, true, "");
        XBobjCDXFile index(table, "T.CDX", "", XbIndexOpenMode{false, false, false});
        EXPECT_EQ(testing::Faults(XbVerifyCdx(index)), "") << run.Describe();
      });
  EXPECT_GT(runs, 50);
}

}  // namespace
}  // namespace tables
