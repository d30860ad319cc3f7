// The pages a compound file open exclusively kept in memory meet a failing disk when they are
// written out: the failure is raised naming the file, and nothing kept is lost.
#include <gtest/gtest.h>

#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables {
namespace {

using platform::testing::FileCall;
using testing::UpkeepTable;

TEST(DeferredIndexWriteFaults, AFailedWriteOfTheKeptPagesRaisesAndKeepsThemForAnotherTry) {
  TxbExpEngineScope expressions;
  testing::FaultSweep sweep;
  UpkeepTable setup(sweep.storage(), {{"NAME", 'C', 10}});
  setup.Index({testing::TagDefinition("N", "NAME")});
  for (int n = 1; n <= 120; ++n) {
    setup.Append([n](XBO_dBaseFld& table) {
      table.SetFieldText("NAME", "K" + std::to_string(100000 + (n * 37) % 500));
    });
  }
  ASSERT_TRUE(setup.index().HasDeferredWrites());

  sweep.files().FailCallOf(FileCall::Write, 1);
  try {
    setup.index().WriteDeferred();
    FAIL() << "the failed write was not reported";
  } catch (const EXbaseError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("T.CDX"), std::string::npos) << message;
    EXPECT_NE(message.find("could not be written"), std::string::npos) << message;
  }
  EXPECT_TRUE(setup.index().HasDeferredWrites());

  setup.index().WriteDeferred();
  EXPECT_FALSE(setup.index().HasDeferredWrites());
  setup.Close();
  XBO_dBaseFld table("C:\\DATA\\T.DBF", false, false, "");
  XBobjCDXFile index(table, "T.CDX", "", XbIndexOpenMode{false, false, false});
  EXPECT_EQ(testing::WalkTag(*index.TagByName("N")).size(), std::size_t{120});
  EXPECT_EQ(testing::Faults(XbVerifyCdx(index)), "");
}

}  // namespace
}  // namespace tables
