// Compound files changed record by record read back by independent readers: a byte-level decoder
// that follows each tag's leaves along their right-sibling chain
// (tests/tools/xbtool/readers/index_layout.py) and libdbd-xbase-perl's XBase::Index
// (tests/tools/xbtool/readers/read_cdx.pl). Both must meet the entries this engine walks, in the
// same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {
namespace {

using nlohmann::json;

std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, read);
  EXPECT_EQ(pclose(pipe), 0) << command;
  return text;
}

std::vector<std::int32_t> Records(const Walked& walked, bool reversed) {
  std::vector<std::int32_t> records;
  for (const auto& entry : walked)
    records.push_back(entry.second);
  if (reversed) std::reverse(records.begin(), records.end());
  return records;
}

class CdxUpkeepReaders : public ::testing::Test {
 protected:
  void SetUp() override {
    XbTagDefinition descending = TagDefinition("DAY", "D");
    descending.ascending = false;
    table.Index({TagDefinition("NAME", "NAME"), TagDefinition("NUM", "NUM"), descending,
                 TagDefinition("LIVE", "NAME", "!DELETED()")});
    std::mt19937 random(3);
    const auto fill = [&](XBO_dBaseFld& t) {
      t.SetFieldText("NAME", "N" + std::to_string(random() % 3000));
      t.SetFieldNumber("NUM", static_cast<double>(static_cast<int>(random() % 2000) - 1000));
      t.SetFieldDate("D", static_cast<std::int32_t>(2451000 + random() % 5000));
    };
    for (int i = 0; i < 1500; ++i) {
      const auto count = table.table().recordCount();
      if (count < 10 || random() % 3 == 0) {
        table.Append(fill);
      } else {
        const auto n = static_cast<std::int32_t>(random() % static_cast<unsigned>(count)) + 1;
        table.Change(
            n, random() % 4 == 0 ? Fill([](XBO_dBaseFld& t) { t.SetRecordDeleted(true); }) : fill);
      }
    }
    ASSERT_EQ(Faults(XbVerifyCdx(table.index())), "");
    // Other programs read the file: the changes kept in memory go out first.
    table.index().WriteDeferred();
    path = sim.HostPath(StorageTestMachine::Path("T.CDX")).string();
  }

  Walked Walk(const std::string& tag) { return WalkTag(*table.index().TagByName(tag)); }

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
  UpkeepTable table{sim, {{"NAME", 'C', 12}, {"NUM", 'N', 8}, {"D", 'D', 8}}};
  std::string path;
};

TEST_F(CdxUpkeepReaders, TheByteDecoderMeetsEveryEntryAlongTheLeafChains) {
  const std::string script = std::string(KORVANE_SOURCE_DIR) + "/tests/tools/xbtool/readers";
  const json read = json::parse(Output(
      "python3 -c 'import sys, json; sys.path.insert(0, sys.argv[1]); import index_layout; "
      "layout, entries = index_layout.cdx_layout(sys.argv[2]); "
      "print(json.dumps({\"layout\": layout, \"entries\": {t: [[e[\"key\"].decode(\"latin-1\"), "
      "e[\"recno\"]] for e in es] for t, es in entries.items()}}))' '" +
      script + "' '" + path + "'"));
  for (const auto& [tag, reversed] :
       {std::pair{"NAME", false}, {"NUM", false}, {"DAY", true}, {"LIVE", false}}) {
    const Walked walked = Walk(tag);
    std::vector<std::int32_t> records;
    for (const json& entry : read["entries"][tag])
      records.push_back(entry[1]);
    EXPECT_EQ(records, Records(walked, reversed)) << tag;
    if (std::string(tag) == "NAME") {
      ASSERT_EQ(read["entries"][tag].size(), walked.size());
      for (std::size_t i = 0; i < walked.size(); ++i) {
        std::string key = read["entries"][tag][i][0];
        key.erase(key.find_last_not_of(' ') + 1);
        EXPECT_EQ(key, walked[i].first) << "entry " << i;
      }
    }
  }
  for (const json& tag : read["layout"]["tags"])
    EXPECT_GE(tag["tree_levels"].get<int>(), 2) << tag["name"] << " never split";
}

TEST_F(CdxUpkeepReaders, LibdbdXbasePerlWalksTheSameEntries) {
  const std::string script =
      std::string(KORVANE_SOURCE_DIR) + "/tests/tools/xbtool/readers/read_cdx.pl";
  for (const auto& [tag, type, reversed] : {std::tuple{"NAME", "C", false},
                                            {"NUM", "N", false},
                                            {"DAY", "N", true},
                                            {"LIVE", "C", false}}) {
    const json read =
        json::parse(Output("/usr/bin/perl '" + script + "' '" + path + "' " + tag + " " + type));
    std::vector<std::int32_t> records;
    for (const json& entry : read)
      records.push_back(entry[1]);
    EXPECT_EQ(records, Records(Walk(tag), reversed)) << tag;
  }
}

}  // namespace
}  // namespace tables::testing
