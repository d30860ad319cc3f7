// Record changes applied to NDX and MDX files through every failure point of the disk: the
// failure surfaces as the engine's error for the call that failed, and an apply that went
// through leaves files that pass the verifier.
#include <gtest/gtest.h>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/faults/fault_sweep.hpp"
#include "tests/tables/index/family_upkeep_support.hpp"

namespace tables {
namespace {

using testing::FamilyUpkeepTable;
using testing::FaultRun;
using testing::FaultSweep;

const std::string kTable = "C:\\DATA\\T.DBF";

// Writes record n (0: appends) as the handler does, under the index locks.
void Write(XBO_dBaseFld& table, const std::vector<XBobjIndexFile*>& files, std::int32_t n,
           const std::string& name) {
  struct Locks {
    const std::vector<XBobjIndexFile*>& files;
    explicit Locks(const std::vector<XBobjIndexFile*>& taken) : files(taken) {
      for (XBobjIndexFile* file : files)
        file->Lock();
    }
    ~Locks() {
      for (XBobjIndexFile* file : files)
        file->Unlock();
    }
  } locks(files);
  std::vector<std::uint8_t> previous;
  if (n == 0) {
    table.BlankRecord();
  } else {
    table.ReadRecord(n);
    previous.assign(table.recordImage(), table.recordImage() + table.recordLength());
  }
  table.SetFieldText("NAME", name);
  std::vector<XbRecordChange> changes;
  for (XBobjIndexFile* file : files)
    changes.push_back(file->PrepareRecordChange(n == 0 ? table.recordCount() + 1 : n,
                                                previous.empty() ? nullptr : previous.data()));
  if (n == 0) {
    table.AppendRecord();
  } else {
    table.WriteRecord(n);
  }
  for (std::size_t i = 0; i < files.size(); ++i)
    files[i]->ApplyRecordChange(changes[i]);
}

// Files open exclusively (the changes kept until written out) or shared (written at once, under
// the index locks).
class FamilyUpkeepFaults : public ::testing::TestWithParam<bool> {};

TEST_P(FamilyUpkeepFaults, AppendsThatSplitNodesAndChangesThatEmptyThem) {
  const bool shared = GetParam();
  TxbExpEngineScope expressions;
  FaultSweep sweep;
  {
    FamilyUpkeepTable setup(sweep.storage(), {{"NAME", 'C', 60}});
    for (int n = 1; n <= 60; ++n)
      setup.Append(
          [n](XBO_dBaseFld& t) { t.SetFieldText("NAME", "K" + std::to_string(1000 + n)); });
    setup.AddIndex("NAME.NDX", {testing::TagDefinition("NAME", "NAME")});
    setup.AddIndex("T.MDX", {testing::TagDefinition("NAME", "NAME")});
  }
  sweep.Keep();
  const int runs = sweep.Run(
      [&] {
        XBO_dBaseFld table(kTable, shared, true, "");
        {
          const XbIndexOpenMode mode{false, shared, true};
          XBobjNDXFile ndx(table, "NAME.NDX", "", mode);
          XBobjMDXFile mdx(table, "T.MDX", "", mode);
          const std::vector<XBobjIndexFile*> files = {&ndx, &mdx};
          for (int n = 1; n <= 24; ++n)
            Write(table, files, n <= 12 ? 0 : n - 12,
                  n <= 12 ? "K1030" + std::to_string(n) : "Z" + std::to_string(n));
          // A file open exclusively keeps its changes until they are written out here.
          ndx.WriteDeferred();
          mdx.WriteDeferred();
        }
        table.Close();
      },
      [&](const FaultRun& run) {
        if (run.raised) return;
        XBO_dBaseFld table(kTable, false, true, "");
        const XbIndexOpenMode mode{false, false, false};
        XBobjNDXFile ndx(table, "NAME.NDX", "", mode);
        XBobjMDXFile mdx(table, "T.MDX", "", mode);
        EXPECT_EQ(testing::Faults(XbVerifyIndexFamily(ndx)), "") << run.Describe();
        EXPECT_EQ(testing::Faults(XbVerifyIndexFamily(mdx)), "") << run.Describe();
        if (!run.fault) {
          EXPECT_GE(FamilyUpkeepTable::Levels(dynamic_cast<XBobjFamilyTag&>(*ndx.TagByIndex(0))),
                    2);
        }
      });
  EXPECT_GT(runs, 50);
}

INSTANTIATE_TEST_SUITE_P(ExclusiveAndShared, FamilyUpkeepFaults, ::testing::Bool());

}  // namespace
}  // namespace tables
