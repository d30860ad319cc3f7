// A compound file open exclusively keeps the pages its record changes write in memory until
// they are written out; the file then holds what a shared writer, which writes each change at
// once, leaves.
#include <gtest/gtest.h>

#include <string>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {
namespace {

Fill Name(int n) {
  // Keys out of order, so that appends land in many leaves and split them.
  return [n](XBO_dBaseFld& table) {
    table.SetFieldText("NAME", "K" + std::to_string(100000 + (n * 7919) % 1000));
  };
}

constexpr int kAppends = 400;

class CdxDeferredUpkeep : public ::testing::Test {
 protected:
  TxbExpEngineScope expressions;
};

TEST_F(CdxDeferredUpkeep, KeptPagesReachTheFileAsTheSharedWriterWritesThem) {
  StorageTestMachine eagerSim;
  {
    UpkeepTable setup(eagerSim, {{"NAME", 'C', 10}});
    setup.Index({TagDefinition("N", "NAME")});
    setup.Close();
    const auto table = setup.OpenTable(true);
    const auto index = setup.OpenIndex(*table, true);
    for (int n = 1; n <= kAppends; ++n) {
      index->Lock();
      UpkeepTable::Append(*table, *index, Name(n));
      index->Unlock();
      EXPECT_FALSE(index->HasDeferredWrites());
    }
  }
  StorageTestMachine deferredSim;
  UpkeepTable deferred(deferredSim, {{"NAME", 'C', 10}});
  deferred.Index({TagDefinition("N", "NAME")});
  const std::vector<std::uint8_t> before = deferredSim.ReadBytes(StorageTestMachine::Path("T.CDX"));
  for (int n = 1; n <= kAppends; ++n)
    deferred.Append(Name(n));

  EXPECT_TRUE(deferred.index().HasDeferredWrites());
  EXPECT_EQ(deferredSim.ReadBytes(StorageTestMachine::Path("T.CDX")), before)
      << "nothing is written before the flush";
  EXPECT_EQ(WalkTag(deferred.tag("N")).size(), std::size_t{kAppends}) << "the kept pages are read";
  EXPECT_EQ(deferred.Disagreements(), "");

  deferred.index().WriteDeferred();
  EXPECT_FALSE(deferred.index().HasDeferredWrites());
  const std::vector<std::uint8_t> eager = eagerSim.ReadBytes(StorageTestMachine::Path("T.CDX"));
  EXPECT_GT(eager.size(), before.size()) << "leaves split";
  EXPECT_EQ(deferred.IndexBytes(), eager);
}

TEST_F(CdxDeferredUpkeep, ClosingTheIndexWritesTheKeptPages) {
  StorageTestMachine sim;
  UpkeepTable setup(sim, {{"NAME", 'C', 10}});
  setup.Index({TagDefinition("N", "NAME")});
  for (int n = 1; n <= 50; ++n)
    setup.Append(Name(n));
  setup.Close();

  const auto table = setup.OpenTable(false);
  const auto index = setup.OpenIndex(*table, false);
  EXPECT_EQ(WalkTag(*index->TagByName("N")).size(), std::size_t{50});
  EXPECT_EQ(Faults(XbVerifyCdx(*index)), "");
}

TEST_F(CdxDeferredUpkeep, ARebuildWritesTheKeptPagesFirstAndStartsFromThem) {
  StorageTestMachine sim;
  UpkeepTable setup(sim, {{"NAME", 'C', 10}});
  setup.Index({TagDefinition("N", "NAME")});
  for (int n = 1; n <= 60; ++n)
    setup.Append(Name(n));
  setup.index().Rebuild();
  EXPECT_FALSE(setup.index().HasDeferredWrites());
  EXPECT_EQ(WalkTag(setup.tag("N")).size(), std::size_t{60});
  EXPECT_EQ(setup.Disagreements(), "");
}

}  // namespace
}  // namespace tables::testing
