// Thousands of random appends, key changes, FOR conditions turning and records marked deleted
// on NTX tags of every key kind (text, numbers with negatives, dates, unique, descending, FOR),
// on trees of several levels: after each batch the tag walks as a fresh build of it does and
// passes the verifier.
#include <gtest/gtest.h>

#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/index/ntx_upkeep_support.hpp"

namespace tables::testing {
namespace {

struct Kind {
  const char* name;
  const char* expression;
  const char* forExpression;
  bool unique;
  bool descending;
};

// NAME and NUM are wide, so that a page holds only 8 or 32 keys and the trees grow deep.
const std::vector<XbFieldDef> kFields = {
    {"NAME", 'C', 100}, {"NUM", 'N', 20, 2}, {"D", 'D', 8}, {"CODE", 'C', 30}, {"QTY", 'N', 5}};

class NtxRandomUpkeep : public ::testing::TestWithParam<Kind> {
 protected:
  void Randomise(XBO_dBaseFld& table) {
    table.SetFieldText("NAME", "N" + std::to_string(random() % 700));
    table.SetFieldNumber("NUM",
                         static_cast<double>(static_cast<int>(random() % 20001) - 10000) / 4);
    // Now and then the empty date.
    table.SetFieldDate(
        "D", random() % 20 == 0 ? 0 : static_cast<std::int32_t>(2440000 + random() % 9000));
    table.SetFieldText("CODE", "C" + std::to_string(random() % 90));
  }

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
  std::mt19937 random{20261208};
};

TEST_P(NtxRandomUpkeep, EachBatchLeavesTheTagAsAFreshBuildWouldBe) {
  const Kind& kind = GetParam();
  NtxUpkeepTable table(sim, kFields);
  for (int n = 0; n < 250; ++n) {
    table.table().BlankRecord();
    Randomise(table.table());
    table.table().AppendRecord();
  }
  XbTagDefinition definition = TagDefinition("T", kind.expression, kind.forExpression);
  definition.unique = kind.unique;
  definition.ascending = !kind.descending;
  table.Index(definition);
  const Fill randomise = [this](XBO_dBaseFld& t) { Randomise(t); };
  for (int batch = 0; batch < 6; ++batch) {
    for (int step = 0; step < 150; ++step) {
      const auto count = static_cast<std::uint32_t>(table.table().recordCount());
      const auto record = static_cast<std::int32_t>(random() % count + 1);
      switch (random() % 8) {
        case 0:
        case 1:
          table.Append(randomise);
          break;
        case 2:
          table.Change(record, [](XBO_dBaseFld& t) { t.SetRecordDeleted(!t.RecordDeleted()); });
          break;
        case 3:
          table.Change(record, [this](XBO_dBaseFld& t) {
            t.SetFieldNumber("QTY", static_cast<double>(random() % 1000));
          });
          break;
        default:
          table.Change(record, randomise);
          break;
      }
    }
    ASSERT_EQ(table.Disagreements(), "") << "after batch " << batch + 1;
  }
}

INSTANTIATE_TEST_SUITE_P(KeyKinds, NtxRandomUpkeep,
                         ::testing::Values(Kind{"Character", "NAME", "", false, false},
                                           Kind{"NumericWithNegatives", "NUM", "", false, false},
                                           Kind{"Date", "D", "", false, false},
                                           Kind{"Unique", "CODE", "", true, false},
                                           Kind{"Descending", "NAME", "", false, true},
                                           Kind{"ForCondition", "NAME", "NUM > 0", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables::testing
