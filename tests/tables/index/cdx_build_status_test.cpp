// Progress of compound tag builds: a handler hears every record of phase 1 and every key of
// phase 2 between the start and end of each; without a handler the build is the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tables/index/cdx_file.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/create_table.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {
namespace {

class CdxBuildStatus : public ::testing::Test {
 protected:
  CdxBuildStatus() {
    CreateTable(sim_.machine(), StorageTestMachine::Path("P.DBF"), 0x03, {{"NAME", 'C', 20}}, "");
    table_ = std::make_unique<XBO_dBaseFld>(sim_.machine(), StorageTestMachine::Path("P.DBF"),
                                            false, true, "");
    for (int i = 0; i < 700; ++i) {
      table_->BlankRecord();
      table_->SetFieldText("NAME", "name " + std::to_string(i % 250));
      table_->AppendRecord();
    }
  }

  // The events of building tag NAME on Upper(NAME) for records whose FOR holds, as
  // (phase, event, value); the tag's keys walked are counted into keys.
  std::vector<XbBuildStatus> Build(const std::string& forExpression, bool withHandler, int& keys) {
    std::vector<XbBuildStatus> events;
    XBobjCDXFile index(*table_, "P.CDX", "", XbIndexOpenMode{true, false, true});
    if (withHandler) index.SetStatusHandler([&](const XbBuildStatus& s) { events.push_back(s); });
    XbTagDefinition definition;
    definition.name = "NAME";
    definition.keyExpression = "Upper(NAME)";
    definition.forExpression = forExpression;
    index.AddTag(definition);
    XBobjIndexTag& tag = *index.TagByName("NAME");
    keys = 0;
    for (tag.Move(xb_move::First); tag.current(); tag.Move(xb_move::Next))
      ++keys;
    return events;
  }

  StorageTestMachine sim_;
  TxbExpEngineScope expressions_;
  std::unique_ptr<XBO_dBaseFld> table_;
};

// The values a phase reports in order, from its start to its end.
std::vector<std::int64_t> Phase(const std::vector<XbBuildStatus>& events, int phase) {
  std::vector<std::int64_t> values;
  for (const XbBuildStatus& event : events) {
    if (event.phase == phase) values.push_back(event.value);
  }
  return values;
}

std::vector<std::int64_t> Counted(std::int64_t start, std::int64_t steps, std::int64_t end) {
  std::vector<std::int64_t> values{start};
  for (std::int64_t step = 1; step <= steps; ++step)
    values.push_back(step);
  values.push_back(end);
  return values;
}

TEST_F(CdxBuildStatus, AHandlerHearsEveryRecordAndEveryKey) {
  int keys = 0;
  const std::vector<XbBuildStatus> events = Build("RECNO() <= 350", true, keys);
  EXPECT_EQ(keys, 350);
  EXPECT_EQ(Phase(events, 1), Counted(700, 700, 700));
  EXPECT_EQ(Phase(events, 2), Counted(700, 350, 700));
  EXPECT_EQ(events.front().event, XbBuildStatus::Event::Start);
  EXPECT_EQ(events.back().event, XbBuildStatus::Event::End);
}

TEST_F(CdxBuildStatus, WithoutAHandlerTheFileIsTheSame) {
  int keys = 0;
  Build("", false, keys);
  EXPECT_EQ(keys, 700);
  const std::vector<std::uint8_t> quiet = sim_.ReadBytes(StorageTestMachine::Path("P.CDX"));
  ASSERT_TRUE(std::filesystem::remove(sim_.HostPath(StorageTestMachine::Path("P.CDX"))));
  Build("", true, keys);
  EXPECT_EQ(sim_.ReadBytes(StorageTestMachine::Path("P.CDX")), quiet);
}

}  // namespace
}  // namespace tables::testing
