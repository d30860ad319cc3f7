// A compound file open exclusively keeps the pages its record changes write in memory until
// they are written out; the file then holds what a shared writer, which writes each change at
// once, leaves.
#include <gtest/gtest.h>

#include <random>
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

// Random appends, changes, deletions and recalls on several tags (one whose long keys make a
// deep tree of small interior nodes, unique, FOR, GENERAL, numeric), with a tag added and the
// file rebuilt on the way; the same seed gives both writers the same work.
class RandomWork {
 public:
  RandomWork() : random_(20261208) {}

  static std::vector<XbFieldDef> Fields() {
    return {{"SITE", 'C', 60}, {"LONG", 'C', 120}, {"NUM", 'N', 9, 2}};
  }
  static std::vector<XbTagDefinition> Tags() {
    XbTagDefinition unique = TagDefinition("USITE", "UPPER(SITE)", "!DELETED()");
    unique.unique = true;
    XbTagDefinition general = TagDefinition("GEN", "SITE");
    general.general = true;
    return {TagDefinition("SITE", "UPPER(SITE)"), TagDefinition("LONG", "LONG"), unique, general,
            TagDefinition("NUM", "NUM", "NUM > 0")};
  }

  // One step on table and index, the index locked around it.
  void Step(int step, XBO_dBaseFld& table, XBobjCDXFile& index) {
    index.Lock();
    const std::int32_t count = table.recordCount();
    const auto n = static_cast<std::int32_t>(random_() % static_cast<unsigned>(count + 1)) + 1;
    const unsigned kind = random_() % 10;
    if (step == kAddTagAt) {
      index.AddTag(TagDefinition("LATE", "NUM"));
    } else if (count == 0 || kind < 5) {
      UpkeepTable::Append(table, index, [this](XBO_dBaseFld& t) { FillAll(t); });
    } else if (kind < 8) {
      UpkeepTable::Change(table, index, std::min(n, count),
                          [this](XBO_dBaseFld& t) { FillAll(t); });
    } else {
      const bool deleted = kind == 8;
      UpkeepTable::Change(table, index, std::min(n, count),
                          [deleted](XBO_dBaseFld& t) { t.SetRecordDeleted(deleted); });
    }
    index.Unlock();
    if (step == kRebuildAt) index.Rebuild();
  }

  static constexpr int kSteps = 1200;

 private:
  static constexpr int kAddTagAt = 500;
  static constexpr int kRebuildAt = 900;

  void FillAll(XBO_dBaseFld& table) {
    static const char* const kPrefixes[] = {"www.", "http://www.", "shop.", "News."};
    std::string site = kPrefixes[random_() % 4];
    for (unsigned i = 3 + random_() % 12; i > 0; --i)
      site += static_cast<char>('a' + random_() % 26);
    table.SetFieldText("SITE", random_() % 20 == 0 ? "www.example.com" : site + ".com");
    table.SetFieldText("LONG", std::string(random_() % 90, 'L') + std::to_string(random_() % 300));
    table.SetFieldNumber("NUM", static_cast<double>(static_cast<int>(random_() % 2001) - 1000));
  }

  std::mt19937 random_;
};

TEST_F(CdxDeferredUpkeep, RandomWorkLeavesTheFileTheSharedWriterLeavesAndEveryTagAsAFreshBuild) {
  StorageTestMachine eagerSim;
  {
    UpkeepTable setup(eagerSim, RandomWork::Fields());
    setup.Index(RandomWork::Tags());
    setup.Close();
    const auto table = setup.OpenTable(true);
    const auto index = setup.OpenIndex(*table, true);
    RandomWork work;
    for (int step = 0; step < RandomWork::kSteps; ++step)
      work.Step(step, *table, *index);
    EXPECT_FALSE(index->HasDeferredWrites());
  }
  StorageTestMachine deferredSim;
  UpkeepTable deferred(deferredSim, RandomWork::Fields());
  deferred.Index(RandomWork::Tags());
  RandomWork work;
  for (int step = 0; step < RandomWork::kSteps; ++step)
    work.Step(step, deferred.table(), deferred.index());

  EXPECT_TRUE(deferred.index().HasDeferredWrites());
  EXPECT_EQ(deferred.Disagreements(), "");
  EXPECT_EQ(deferred.IndexBytes(), eagerSim.ReadBytes(StorageTestMachine::Path("T.CDX")));
}

}  // namespace
}  // namespace tables::testing
