// The compound index files Harbour wrote (tests/fixtures/peers/hb_cdx_*) read as their expected
// JSON says: tags, walks both ways, seeks and a clean verify; damaged copies are refused or
// have their faults named; reading never changes a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::FixturePath;
using testing::ReadFile;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class IndexFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    expected = json::parse(std::ifstream(FixturePath(GetParam() + ".cdx.expected.json")));
    for (const char* extension : {".dbf", ".cdx", ".fpt"}) {
      std::filesystem::copy_file(FixturePath(GetParam() + extension),
                                 folder / (GetParam() + extension));
    }
    table = folder / (GetParam() + ".dbf");
    index = folder / (GetParam() + ".cdx");
  }

  json Walk(const std::string& tag, bool backwards) {
    std::vector<std::string> arguments = {"walk", table, "--tag", tag, "--json"};
    if (backwards) arguments.push_back("--desc");
    return json::parse(XbtoolOk(arguments));
  }

  // The offset of a page the layout names for a tag.
  std::uint32_t LayoutPage(const std::string& tag, const char* what) {
    for (const json& layout : expected["layout"]["tags"]) {
      if (layout["name"] == tag) {
        return what == std::string("leaf") ? layout["leftmost_leaf"]["offset"].get<std::uint32_t>()
                                           : layout["root_page"].get<std::uint32_t>();
      }
    }
    ADD_FAILURE() << "no layout for " << tag;
    return 0;
  }

  void Patch(std::uint32_t offset, const std::string& bytes) {
    std::string file = ReadFile(index);
    file.replace(offset, bytes.size(), bytes);
    WriteFile(index, file);
  }

  TempFolder folder;
  json expected;
  std::string table, index;
};

TEST_P(IndexFixture, ListsItsTagsAsWritten) {
  const json tags = json::parse(XbtoolOk({"tags", table, "--json"}));
  ASSERT_EQ(tags.size(), expected["tags"].size());
  for (const json& want : expected["tags"]) {
    const auto got = std::find_if(tags.begin(), tags.end(),
                                  [&](const json& tag) { return tag["name"] == want["name"]; });
    ASSERT_NE(got, tags.end()) << want["name"];
    EXPECT_EQ((*got)["expression"], want["expression"]);
    EXPECT_EQ((*got)["for"], want["for_expression"]);
    EXPECT_EQ((*got)["key_type"], want["key_type"]);
    EXPECT_EQ((*got)["key_length"], want["key_length"]);
    EXPECT_EQ((*got)["unique"], want["unique"]);
    EXPECT_EQ((*got)["descending"], want["descending"]);
    EXPECT_EQ((*got)["key_count"], want["key_count"]);
  }
}

TEST_P(IndexFixture, WalksEveryTagBothWaysInHarboursOrder) {
  for (const json& want : expected["tags"]) {
    const std::string name = want["name"];
    const json forwards = Walk(name, false);
    ASSERT_EQ(forwards.size(), want["order"].size()) << name;
    for (std::size_t i = 0; i < forwards.size(); ++i) {
      ASSERT_EQ(forwards[i]["recno"], want["order"][i]) << name << " entry " << i;
      ASSERT_EQ(forwards[i]["key"], want["keys"][i]) << name << " entry " << i;
    }
    json backwards = Walk(name, true);
    std::reverse(backwards.begin(), backwards.end());
    EXPECT_EQ(backwards, forwards) << name;
  }
}

TEST_P(IndexFixture, SeeksTheFirstEntryOfEachKeyInTagOrder) {
  for (const json& want : expected["tags"]) {
    const std::string name = want["name"];
    const json& keys = want["keys"];
    const std::size_t step = keys.size() / 25 + 1;
    for (std::size_t i = 0; i < keys.size(); i += step) {
      const json& key = keys[i];
      std::size_t first = i;
      while (first > 0 && keys[first - 1] == key)
        --first;
      const std::string text = key.is_null()      ? ""
                               : key.is_string()  ? key.get<std::string>()
                               : key.is_boolean() ? (key.get<bool>() ? "T" : "F")
                                                  : key.dump();
      const json found = json::parse(XbtoolOk({"seek", table, "--tag", name, text, "--json"}));
      EXPECT_EQ(found, (json{{"found", true}, {"recno", want["order"][first]}}))
          << name << " key " << text;
    }
  }
}

TEST_P(IndexFixture, VerifiesClean) {
  const auto outcome = Xbtool({"verify", table, "--json"});
  EXPECT_EQ(outcome.code, 0) << outcome.out << outcome.err;
  const json report = json::parse(outcome.out);
  EXPECT_TRUE(report["clean"].get<bool>());
  EXPECT_EQ(report["files"][0]["tags"].size(), expected["tags"].size() + 1);
}

TEST_P(IndexFixture, ReadingChangesNoFile) {
  const std::string tableBytes = ReadFile(table);
  const std::string indexBytes = ReadFile(index);
  const std::string tag = expected["tags"][0]["name"];
  XbtoolOk({"tags", table});
  XbtoolOk({"walk", table, "--tag", tag});
  Xbtool({"seek", table, "--tag", tag, "1"});
  XbtoolOk({"verify", table});
  EXPECT_EQ(ReadFile(table), tableBytes);
  EXPECT_EQ(ReadFile(index), indexBytes);
}

INSTANTIATE_TEST_SUITE_P(Harbour, IndexFixture,
                         ::testing::Values("hb_cdx_small", "hb_cdx_5k", "hb_cdx_opts"));

class DamagedIndex : public IndexFixture {};

TEST_P(DamagedIndex, ALeafWithImpossibleBitFieldsIsNamedByVerify) {
  const std::uint32_t leaf = LayoutPage("SITE", "leaf");
  Patch(leaf + 20, std::string(1, '\x28'));  // 40 record bits
  const auto outcome = Xbtool({"verify", table});
  EXPECT_EQ(outcome.code, 1) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("tag SITE, page " + std::to_string(leaf)), std::string::npos)
      << outcome.out;
  const auto walk = Xbtool({"walk", table, "--tag", "SITE"});
  EXPECT_EQ(walk.code, 2);
  EXPECT_NE(walk.err.find("page " + std::to_string(leaf)), std::string::npos) << walk.err;
}

TEST_P(DamagedIndex, AnInteriorKeyThatDoesNotNameItsChildIsFound) {
  const std::uint32_t root = LayoutPage("SITE", "root");
  Patch(root + 12 + 60, std::string("\x00\x00\x00\x00", 4));  // record of the first entry
  const auto outcome = Xbtool({"verify", table, "--json"});
  EXPECT_EQ(outcome.code, 1) << outcome.err;
  const json report = json::parse(outcome.out);
  EXPECT_FALSE(report["clean"].get<bool>());
  EXPECT_EQ(report["files"][0]["faults"][0]["tag"], "SITE");
}

TEST_P(DamagedIndex, AHeaderWithABadRootMakesTheFileInvalid) {
  std::uint32_t header = 0;
  for (const json& entry : expected["layout"]["directory"]["entries"]) {
    if (entry["tag"] == "NUM") header = entry["header_offset"];
  }
  Patch(header, std::string("\x01\x02\x00\x00", 4));  // not a page offset
  const auto outcome = Xbtool({"verify", table});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_NE(outcome.err.find("not a valid compound index file: tag NUM: "), std::string::npos)
      << outcome.err;
}

TEST_P(DamagedIndex, ATruncatedFileIsRefusedWithoutAChange) {
  const std::string bytes = ReadFile(index).substr(0, 300);
  WriteFile(index, bytes);
  const auto outcome = Xbtool({"tags", table});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_NE(outcome.err.find("holds only 300 bytes"), std::string::npos) << outcome.err;
  EXPECT_EQ(ReadFile(index), bytes);
}

INSTANTIATE_TEST_SUITE_P(Harbour, DamagedIndex, ::testing::Values("hb_cdx_5k"));

}  // namespace
}  // namespace tools::xbtool
