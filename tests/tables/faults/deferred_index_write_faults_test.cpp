// The pages a compound file open exclusively kept in memory meet a failing disk when they are
// written out: the disk's error is raised naming the file, and nothing kept is lost.
#include <gtest/gtest.h>

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables {
namespace {

using platform::testing::FileCall;
using testing::UpkeepTable;

const std::string kTable = "C:\\DATA\\T.DBF";

TEST(DeferredIndexWriteFaults, AFailedWriteOfTheKeptPagesRaisesAndKeepsThemForAnotherTry) {
  TxbExpEngineScope expressions;
  testing::FaultSweep sweep;
  {
    UpkeepTable setup(sweep.storage(), {{"NAME", 'C', 10}});
    setup.Index({testing::TagDefinition("N", "NAME")});
  }
  {
    XBO_dBaseFld table(kTable, false, true, "");
    XBobjCDXFile index(table, "T.CDX", "", XbIndexOpenMode{false, false, true});
    for (int n = 1; n <= 120; ++n) {
      UpkeepTable::Append(table, index, [n](XBO_dBaseFld& t) {
        t.SetFieldText("NAME", "K" + std::to_string(100000 + (n * 37) % 500));
      });
    }
    ASSERT_TRUE(index.HasDeferredWrites());

    sweep.files().FailCallOf(FileCall::Write, 1);
    try {
      index.WriteDeferred();
      FAIL() << "the failed write was not reported";
    } catch (const EXbaseError& error) {
      EXPECT_EQ(error.code(), 112);
      EXPECT_NE(std::string(error.what()).find("T.CDX"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(index.HasDeferredWrites());

    index.WriteDeferred();
    EXPECT_FALSE(index.HasDeferredWrites());
  }
  XBO_dBaseFld reader(kTable, false, false, "");
  XBobjCDXFile written(reader, "T.CDX", "", XbIndexOpenMode{false, false, false});
  EXPECT_EQ(testing::WalkTag(*written.TagByName("N")).size(), std::size_t{120});
  EXPECT_EQ(testing::Faults(XbVerifyCdx(written)), "");
}

}  // namespace
}  // namespace tables
