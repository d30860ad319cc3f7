// The NDX and NTX files other programs wrote (xbase64's xb64_big_*, Harbour's hb_ntx_2k_*) read
// as their expected JSON says: the tag's facts, walks both ways, seeks of sampled keys and a
// clean verify, without changing a byte; damaged copies are refused at open (2112) or have
// the damaged block named, never read as garbage.
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

// One fixture index: its table, and what the walk must give, keys as the tool shows them.
struct SingleIndexCase {
  std::string index;
  std::string table;
  std::string keyType;  // C, N or D as the tool reports it
  int keyLength;
  bool unique;
};

void PrintTo(const SingleIndexCase& c, std::ostream* out) {
  *out << c.index;
}

class SingleIndexFixture : public ::testing::TestWithParam<SingleIndexCase> {
 protected:
  void SetUp() override {
    const SingleIndexCase& c = GetParam();
    expected = json::parse(std::ifstream(FixturePath(c.index + ".expected.json")));
    const std::string stem = c.table.substr(0, c.table.find('.'));
    for (const char* extension : {".dbf", ".dbt"}) {
      if (std::filesystem::exists(FixturePath(stem + extension))) {
        std::filesystem::copy_file(FixturePath(stem + extension), folder / (stem + extension));
      }
    }
    std::filesystem::copy_file(FixturePath(c.index), folder / c.index);
    table = folder / c.table;
    index = folder / c.index;
  }

  // [recno, key] in index order, keys as the tool shows them.
  json ExpectedOrder() const {
    json order = json::array();
    if (expected.contains("order")) {
      for (const json& pair : expected["order"]) {
        json key = pair[1];
        if (key.is_string())
          key = key.get<std::string>().substr(0, key.get<std::string>().find_last_not_of(' ') + 1);
        order.push_back({pair[0], key});
      }
      return order;
    }
    const json& tag = expected["tags"][0];
    for (std::size_t i = 0; i < tag["order"].size(); ++i)
      order.push_back({tag["order"][i], tag["keys"][i]});
    return order;
  }

  json Walk(bool backwards) {
    std::vector<std::string> arguments = {"walk", table, "--index", index, "--json"};
    if (backwards) arguments.push_back("--desc");
    json order = json::array();
    for (const json& entry : json::parse(XbtoolOk(arguments)))
      order.push_back({entry["recno"], entry["key"]});
    return order;
  }

  // The byte offset of the root node: NDX keeps its block number at 0, NTX its offset at 4.
  std::uint32_t RootOffset() const {
    const std::string file = ReadFile(index);
    const std::size_t at = ntx() ? 4 : 0;
    const auto value = static_cast<std::uint32_t>(static_cast<unsigned char>(file[at]) |
                                                  static_cast<unsigned char>(file[at + 1]) << 8 |
                                                  static_cast<unsigned char>(file[at + 2]) << 16);
    return ntx() ? value : value * 512;
  }
  bool ntx() const { return GetParam().index.ends_with(".ntx"); }

  void Patch(std::uint32_t offset, const std::string& bytes) {
    std::string file = ReadFile(index);
    file.replace(offset, bytes.size(), bytes);
    WriteFile(index, file);
  }

  TempFolder folder;
  json expected;
  std::string table, index;
};

TEST_P(SingleIndexFixture, ListsItsOneTagNamedAfterTheFile) {
  const SingleIndexCase& c = GetParam();
  const json tags = json::parse(XbtoolOk({"tags", table, "--index", index, "--json"}));
  ASSERT_EQ(tags.size(), 1u);
  std::string name = c.index.substr(0, c.index.find('.'));
  for (char& letter : name)
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  EXPECT_EQ(tags[0]["name"], name);
  EXPECT_EQ(tags[0]["key_type"], c.keyType);
  EXPECT_EQ(tags[0]["key_length"], c.keyLength);
  EXPECT_EQ(tags[0]["unique"], c.unique);
  EXPECT_EQ(tags[0]["key_count"], ExpectedOrder().size());
}

TEST_P(SingleIndexFixture, WalksBothWaysInTheWritersOrder) {
  const json want = ExpectedOrder();
  const json forwards = Walk(false);
  ASSERT_EQ(forwards.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(forwards[i], want[i]) << "entry " << i;
  json backwards = Walk(true);
  std::reverse(backwards.begin(), backwards.end());
  EXPECT_EQ(backwards, forwards);
}

TEST_P(SingleIndexFixture, SeeksTheFirstEntryOfSampledKeys) {
  const json want = ExpectedOrder();
  for (std::size_t i = 0; i < want.size(); i += want.size() / 23 + 1) {
    const json& key = want[i][1];
    std::size_t first = i;
    while (first > 0 && want[first - 1][1] == key)
      --first;
    const std::string text = key.is_null()     ? ""
                             : key.is_string() ? key.get<std::string>()
                                               : key.dump();
    const json found =
        json::parse(XbtoolOk({"seek", table, "--index", index, "--json", "--", text}));
    EXPECT_EQ(found, (json{{"found", true}, {"recno", want[first][0]}})) << "key " << text;
  }
}

TEST_P(SingleIndexFixture, VerifiesCleanAndReadingChangesNoFile) {
  const std::string tableBytes = ReadFile(table);
  const std::string indexBytes = ReadFile(index);
  const auto outcome = Xbtool({"verify", table, "--index", index, "--json"});
  EXPECT_EQ(outcome.code, 0) << outcome.out << outcome.err;
  const json report = json::parse(outcome.out);
  EXPECT_TRUE(report["clean"].get<bool>());
  EXPECT_EQ(report["files"][0]["tags"][0]["keys"], ExpectedOrder().size());
  Xbtool({"seek", table, "--index", index, "1"});
  EXPECT_EQ(ReadFile(table), tableBytes);
  EXPECT_EQ(ReadFile(index), indexBytes);
}

TEST_P(SingleIndexFixture, ATruncatedFileIsRefusedWithoutAChange) {
  for (const std::size_t length : {std::size_t{100}, std::size_t{1030}}) {
    const std::string bytes = ReadFile(FixturePath(GetParam().index)).substr(0, length);
    WriteFile(index, bytes);
    const auto outcome = Xbtool({"walk", table, "--index", index});
    EXPECT_EQ(outcome.code, 2) << length;
    EXPECT_NE(outcome.err.find("not a valid"), std::string::npos) << outcome.err;
    EXPECT_EQ(ReadFile(index), bytes);
  }
}

TEST_P(SingleIndexFixture, AFlippedNodeIsNamedByWalkAndVerify) {
  // The root's key count made impossible.
  const std::uint32_t offset = RootOffset();
  Patch(offset, std::string("\xFF\x7F", 2));
  const auto walk = Xbtool({"walk", table, "--index", index});
  EXPECT_EQ(walk.code, 2);
  EXPECT_NE(walk.err.find("page " + std::to_string(offset)), std::string::npos) << walk.err;
  const auto verify = Xbtool({"verify", table, "--index", index, "--json"});
  EXPECT_EQ(verify.code, 1) << verify.err;
  const json report = json::parse(verify.out);
  EXPECT_EQ(report["files"][0]["faults"][0]["page"], offset);
}

TEST_P(SingleIndexFixture, AChildPointerOutsideTheFileIsNamed) {
  const std::string file = ReadFile(index);
  const std::uint32_t offset = RootOffset();
  // The first entry's child: NTX through the page's slot table, NDX at offset 4.
  const std::uint32_t slot = ntx() ? static_cast<unsigned char>(file[offset + 2]) |
                                         static_cast<unsigned char>(file[offset + 3]) << 8
                                   : 4;
  Patch(offset + slot, std::string("\x00\x00\x70\x00", 4));
  const auto outcome = Xbtool({"verify", table, "--index", index});
  EXPECT_EQ(outcome.code, 1) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("outside the file"), std::string::npos) << outcome.out;
}

INSTANTIATE_TEST_SUITE_P(
    Peers, SingleIndexFixture,
    ::testing::Values(SingleIndexCase{"xb64_big_name.ndx", "xb64_big.dbf", "C", 12, false},
                      SingleIndexCase{"xb64_big_amount.ndx", "xb64_big.dbf", "N", 8, false},
                      SingleIndexCase{"xb64_big_hired.ndx", "xb64_big.dbf", "C", 8, false},
                      SingleIndexCase{"xb64_big_id.ndx", "xb64_big.dbf", "N", 8, true},
                      SingleIndexCase{"xb64_big_id.ntx", "xb64_big.dbf", "N", 6, false},
                      SingleIndexCase{"hb_ntx_2k_site.ntx", "hb_ntx_2k.dbf", "C", 60, false},
                      SingleIndexCase{"hb_ntx_2k_num.ntx", "hb_ntx_2k.dbf", "N", 10, false},
                      SingleIndexCase{"hb_ntx_2k_d.ntx", "hb_ntx_2k.dbf", "D", 8, false}));

// xbase64 keeps the dates of HIRED as text keys; they still seek by date.
TEST(TextDateKeys, SeekByDateAndByText) {
  TempFolder folder;
  for (const char* name : {"xb64_big.dbf", "xb64_big_hired.ndx"})
    std::filesystem::copy_file(FixturePath(name), folder / name);
  const std::string table = folder / "xb64_big.dbf";
  const std::string index = folder / "xb64_big_hired.ndx";
  const json expected = json::parse(std::ifstream(FixturePath("xb64_big_hired.ndx.expected.json")));
  const json& pair = expected["order"][1000];
  const std::string text = pair[1];
  const std::string date = text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2);
  const auto byDate = json::parse(XbtoolOk({"seek", table, "--index", index, date, "--json"}));
  const auto byText = json::parse(XbtoolOk({"seek", table, "--index", index, text, "--json"}));
  EXPECT_TRUE(byDate["found"].get<bool>());
  EXPECT_EQ(byDate, byText);
}

// A damaged NDX whose interior nodes all point at the one node below: a tree of 10 levels
// that leads to its single leaf 25^10 times. A walk stops with an error instead of running on.
TEST(DamagedSingleIndex, PointersThatMeetAgainStopTheWalk) {
  TempFolder folder;
  std::filesystem::copy_file(FixturePath("xb64_big.dbf"), folder / "xb64_big.dbf");
  constexpr int kLevels = 11;
  std::string file(512 * (kLevels + 1), '\0');
  const auto put32 = [&](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      file[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
  };
  put32(0, kLevels);
  put32(4, kLevels + 1);
  file[12] = 10;  // key length
  file[14] = 25;  // keys per node
  file[18] = 20;  // entry size
  file.replace(24, 4, "NAME");
  put32(512, 1);  // the leaf: one key
  put32(512 + 8, 1);
  file.replace(512 + 12, 10, "ABBOTT    ");
  for (std::uint32_t block = 2; block <= kLevels; ++block) {
    const std::size_t at = 512 * block;
    put32(at, 24);
    for (std::size_t entry = 0; entry <= 24; ++entry) {
      put32(at + 4 + 20 * entry, block - 1);
      if (entry < 24) file.replace(at + 4 + 20 * entry + 8, 10, "ZZZZZZZZZZ");
    }
  }
  const std::string index = folder / "loop.ndx";
  WriteFile(index, file);
  const std::string table = folder / "xb64_big.dbf";
  const auto walk = Xbtool({"walk", table, "--index", index});
  EXPECT_EQ(walk.code, 2);
  EXPECT_NE(walk.err.find("more often than its file could hold them"), std::string::npos)
      << walk.err;
  const auto verify = Xbtool({"verify", table, "--index", index});
  EXPECT_EQ(verify.code, 1);
  EXPECT_NE(verify.out.find("reached twice"), std::string::npos) << verify.out;
}

// An empty single index file is a new one only to a writer.
TEST(DamagedSingleIndex, AnEmptyFileIsRefusedToAReader) {
  TempFolder folder;
  std::filesystem::copy_file(FixturePath("xb64_big.dbf"), folder / "xb64_big.dbf");
  for (const char* name : {"empty.ndx", "empty.ntx"}) {
    WriteFile(folder / name, "");
    const auto outcome = Xbtool({"tags", folder / "xb64_big.dbf", "--index", folder / name});
    EXPECT_EQ(outcome.code, 2) << name;
    EXPECT_NE(outcome.err.find("holds only 0 bytes"), std::string::npos) << outcome.err;
  }
}

}  // namespace
}  // namespace tools::xbtool
