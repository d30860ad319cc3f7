// NTX, NDX and MDX files built by xbtool on the tables of the peer fixtures: they walk as the
// peers' files do and verify clean; NTX files are Harbour's byte for byte where the layout
// leaves no freedom and read back by index_layout.py; libdbd-xbase-perl reads all three kinds;
// MDX tags are added, replaced, dropped and rebuilt; a build that fails loses nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::FixturePath;
using testing::ReaderScript;
using testing::ReadFile;
using testing::RunProgram;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

std::uint32_t Word(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

json ReadWithPerl(const std::string& file, const std::string& tag, const std::string& type) {
  int status = -1;
  const std::string out =
      RunProgram({"/usr/bin/perl", ReaderScript("read_index.pl"), file, tag, type}, status);
  EXPECT_EQ(status, 0) << file;
  return json::parse(out);
}

json Records(const json& pairs, std::size_t recordAt) {
  json records = json::array();
  for (const json& pair : pairs)
    records.push_back(pair[recordAt]);
  return records;
}

// The table of a fixture copied into a folder, and the index files built on it.
class Built : public ::testing::Test {
 protected:
  void CopyTable(const std::string& stem) {
    for (const char* extension : {".dbf", ".dbt"}) {
      if (std::filesystem::exists(FixturePath(stem + extension)))
        std::filesystem::copy_file(FixturePath(stem + extension), folder / (stem + extension));
    }
    table = folder / (stem + ".dbf");
  }

  // Builds FILE (name in the folder) and returns its path as the engine named it.
  std::string Build(const std::string& file, std::vector<std::string> options) {
    std::vector<std::string> arguments = {"index", table, "--index", folder / file};
    arguments.insert(arguments.end(), options.begin(), options.end());
    XbtoolOk(arguments);
    std::string upper = file;
    for (char& letter : upper)
      letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return folder / upper;
  }

  json Walk(const std::string& index, const std::string& tag = "") {
    std::vector<std::string> arguments = {"walk", table, "--index", index, "--json"};
    if (!tag.empty()) arguments.insert(arguments.end(), {"--tag", tag});
    return json::parse(XbtoolOk(arguments));
  }

  TempFolder folder;
  std::string table;
};

class BuiltNtx : public Built, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    CopyTable("hb_ntx_2k");
    expected =
        json::parse(std::ifstream(FixturePath("hb_ntx_2k_" + GetParam() + ".ntx.expected.json")));
    index = Build("mine_" + GetParam() + ".ntx", {"--on", expected["tags"][0]["expression"]});
  }

  json expected;
  std::string index;
};

TEST_P(BuiltNtx, WalksAsHarboursAndVerifies) {
  const json& want = expected["tags"][0];
  const json walk = Walk(index);
  ASSERT_EQ(walk.size(), want["order"].size());
  for (std::size_t i = 0; i < walk.size(); ++i) {
    ASSERT_EQ(walk[i]["recno"], want["order"][i]) << i;
    ASSERT_EQ(walk[i]["key"], want["keys"][i]) << i;
  }
  EXPECT_EQ(Xbtool({"verify", table, "--index", index}).code, 0);
}

// Harbour's file and this one hold the same header page, the same pages at the same offsets
// with the same entries (child, record, key) in slot order, and the same slot tables except on
// the last leaf, whose slots Harbour's balancing left in another order. Blank dates are
// "00000000" here and eight blanks in Harbour's file; the unused slots of a page are free.
TEST_P(BuiltNtx, IsHarboursFileByteForByteWhereTheLayoutLeavesNoFreedom) {
  const std::string mine = ReadFile(index);
  const std::string theirs = ReadFile(FixturePath("hb_ntx_2k_" + GetParam() + ".ntx"));
  ASSERT_EQ(mine.size(), theirs.size());
  EXPECT_EQ(mine.substr(0, 1024), theirs.substr(0, 1024));
  const std::uint32_t keyLength = Word(theirs, 14);
  const std::uint32_t maxKeys = Word(theirs, 18);
  const std::string blankDate(8, ' ');
  int permutedTables = 0;
  for (std::size_t page = 1024; page < theirs.size(); page += 1024) {
    const std::uint32_t count = Word(theirs, page);
    ASSERT_EQ(Word(mine, page), count) << page;
    const bool leaf = Word(theirs, page + Word(theirs, page + 2)) == 0 &&
                      Word(theirs, page + Word(theirs, page + 2) + 2) == 0;
    const std::uint32_t slots = leaf ? count : count + 1;
    for (std::uint32_t slot = 0; slot < slots; ++slot) {
      const std::size_t a = page + Word(mine, page + 2 + 2 * slot);
      const std::size_t b = page + Word(theirs, page + 2 + 2 * slot);
      const std::size_t length = slot < count ? 8 + keyLength : 4;
      std::string ours = mine.substr(a, length);
      const std::string harbours = theirs.substr(b, length);
      if (GetParam() == "d" && slot < count && harbours.substr(8) == blankDate)
        ours.replace(8, 8, blankDate);
      ASSERT_EQ(ours, harbours) << "page " << page << " slot " << slot;
    }
    if (mine.substr(page + 2, 2 * maxKeys + 2) != theirs.substr(page + 2, 2 * maxKeys + 2))
      ++permutedTables;
  }
  EXPECT_LE(permutedTables, 1);
}

TEST_P(BuiltNtx, IsReadBackByIndexLayoutAndLibdbdXbasePerl) {
  const json& want = expected["tags"][0];
  const std::string type = want["key_type"];
  int status = -1;
  const json decoded = json::parse(
      RunProgram({"/usr/bin/python3", ReaderScript("read_ntx.py"), index, type}, status));
  ASSERT_EQ(status, 0);
  EXPECT_EQ(Records(decoded["entries"], 0), want["order"]);
  EXPECT_EQ(decoded["layout"]["tree_levels"], want["tree_levels"]);
  EXPECT_EQ(Records(ReadWithPerl(index, "", "C"), 1), want["order"]);
}

INSTANTIATE_TEST_SUITE_P(Harbour, BuiltNtx, ::testing::Values("site", "num", "d"));

class BuiltOnBig : public Built {
 protected:
  void SetUp() override { CopyTable("xb64_big"); }

  static json PeerOrder(const std::string& fixture) {
    return Records(json::parse(std::ifstream(FixturePath(fixture + ".expected.json")))["order"], 0);
  }

  json WalkRecords(const std::string& index, const std::string& tag = "") {
    json records = json::array();
    for (const json& entry : Walk(index, tag))
      records.push_back(entry["recno"]);
    return records;
  }
};

TEST_F(BuiltOnBig, NdxFilesWalkAsXbase64sVerifyAndAreReadByPerl) {
  const std::string name = Build("mine_name.ndx", {"--on", "UPPER(NAME)"});
  const std::string amount = Build("mine_amount.ndx", {"--on", "AMOUNT"});
  const std::string id = Build("mine_id.ndx", {"--on", "ID", "--unique"});
  EXPECT_EQ(WalkRecords(name), PeerOrder("xb64_big_name.ndx"));
  EXPECT_EQ(WalkRecords(amount), PeerOrder("xb64_big_amount.ndx"));
  EXPECT_EQ(WalkRecords(id), PeerOrder("xb64_big_id.ndx"));
  EXPECT_EQ(Xbtool({"verify", table, "--index", name, "--index", amount, "--index", id}).code, 0);
  EXPECT_EQ(Records(ReadWithPerl(name, "", "C"), 1), PeerOrder("xb64_big_name.ndx"));
  EXPECT_EQ(Records(ReadWithPerl(amount, "", "N"), 1), PeerOrder("xb64_big_amount.ndx"));
  const json tags = json::parse(XbtoolOk({"tags", table, "--index", id, "--json"}));
  EXPECT_EQ(tags[0]["unique"], true);
  EXPECT_EQ(tags[0]["key_type"], "N");
}

// Keys of 20 bytes make 28-byte entries: 18 of them fill a block up to the pointer after the
// last key of an interior node, which then ends the block.
TEST_F(BuiltOnBig, AnNdxWhoseInteriorPointerEndsTheBlockIsWrittenAndRead) {
  const std::string index = Build("wide.ndx", {"--on", "UPPER(NAME) + 'ABCDEFGH'"});
  const json tags = json::parse(XbtoolOk({"tags", table, "--index", index, "--json"}));
  EXPECT_EQ(tags[0]["key_length"], 20);
  EXPECT_EQ(WalkRecords(index), PeerOrder("xb64_big_name.ndx"));
  EXPECT_EQ(Xbtool({"verify", table, "--index", index}).code, 0);
  EXPECT_EQ(Records(ReadWithPerl(index, "", "C"), 1), PeerOrder("xb64_big_name.ndx"));
}

TEST_F(BuiltOnBig, AnNdxDateIndexKeepsDaysWithBlankDatesLast) {
  const std::string hired = Build("mine_hired.ndx", {"--on", "HIRED"});
  const json walk = Walk(hired);
  ASSERT_EQ(walk.size(), 2200u);
  EXPECT_FALSE(walk.front()["key"].is_null());
  EXPECT_TRUE(walk.back()["key"].is_null());
  EXPECT_EQ(Xbtool({"verify", table, "--index", hired}).code, 0);
  const std::string day = walk[700]["key"];
  const json found = json::parse(XbtoolOk({"seek", table, "--index", hired, day, "--json"}));
  EXPECT_TRUE(found["found"].get<bool>());
}

TEST_F(BuiltOnBig, MdxTagsAreAddedReplacedDroppedAndRebuilt) {
  const std::string mdx = Build("xb64_big.mdx", {"--tag", "NAME", "--on", "UPPER(NAME)"});
  Build("xb64_big.mdx", {"--tag", "AMOUNT", "--on", "AMOUNT"});
  Build("xb64_big.mdx", {"--tag", "HIRED", "--on", "HIRED", "--descending"});
  Build("xb64_big.mdx", {"--tag", "IDPOS", "--on", "ID", "--for", "AMOUNT > 0", "--unique"});
  // The production index: flagged in the table header and found without --index.
  EXPECT_EQ(ReadFile(table)[28], '');
  const json tags = json::parse(XbtoolOk({"tags", table, "--json"}));
  ASSERT_EQ(tags.size(), 4u);
  EXPECT_EQ(tags[1]["key_type"], "N");
  EXPECT_EQ(tags[1]["key_length"], 12);
  EXPECT_EQ(tags[2]["descending"], true);
  EXPECT_EQ(tags[3]["for"], "AMOUNT > 0");
  EXPECT_EQ(WalkRecords(mdx, "NAME"), PeerOrder("xb64_big_name.ndx"));
  EXPECT_EQ(WalkRecords(mdx, "AMOUNT"), PeerOrder("xb64_big_amount.ndx"));
  EXPECT_EQ(Xbtool({"verify", table}).code, 0);
  EXPECT_EQ(Records(ReadWithPerl(mdx, "NAME", "C"), 1), PeerOrder("xb64_big_name.ndx"));
  // The descending tag is stored from its greatest key: perl reads the walk's order.
  EXPECT_EQ(Records(ReadWithPerl(mdx, "HIRED", "C"), 1), WalkRecords(mdx, "HIRED"));

  const auto size = std::filesystem::file_size(mdx);
  Build("xb64_big.mdx", {"--tag", "NAME", "--on", "UPPER(NAME)", "--descending"});
  EXPECT_GT(std::filesystem::file_size(mdx), size);
  EXPECT_EQ(json::parse(XbtoolOk({"tags", table, "--json"})).size(), 4u);
  XbtoolOk({"droptag", table, "--tag", "amount"});
  EXPECT_EQ(Xbtool({"walk", table, "--tag", "AMOUNT"}).code, 2);
  EXPECT_EQ(Xbtool({"droptag", table, "--tag", "AMOUNT"}).code, 2);
  XbtoolOk({"reindex", table});
  EXPECT_LT(std::filesystem::file_size(mdx), size);
  EXPECT_EQ(Xbtool({"verify", table}).code, 0);
  const json names = json::parse(XbtoolOk({"walk", table, "--tag", "NAME", "--json"}));
  EXPECT_GE(names.front()["key"].get<std::string>(), names.back()["key"].get<std::string>());
}

// A change to a table with a production MDX keeps its tags current.
TEST_F(BuiltOnBig, AChangeToATableWithAProductionMdxKeepsItCurrent) {
  Build("xb64_big.mdx", {"--tag", "NAME", "--on", "UPPER(NAME)"});
  XbtoolOk({"set", table, "1", "NAME=changed"});
  EXPECT_EQ(XbtoolOk({"append", table, "NAME=new"}), "appended record 2201\n");
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NAME", "CHANGED"}), "found: record 1\n");
  EXPECT_EQ(Xbtool({"verify", table}).code, 0);
}

TEST_F(BuiltOnBig, ADescendingMdxTagSeeksTheFirstEntryInItsOrder) {
  const std::string mdx =
      Build("other.mdx", {"--tag", "NAME", "--on", "UPPER(NAME)", "--descending"});
  const json walk = Walk(mdx, "NAME");
  for (std::size_t i = 0; i < walk.size(); i += 150) {
    std::size_t first = i;
    while (first > 0 && walk[first - 1]["key"] == walk[i]["key"])
      --first;
    const json found = json::parse(
        XbtoolOk({"seek", table, "--index", mdx, "--tag", "NAME", walk[i]["key"], "--json"}));
    EXPECT_EQ(found["recno"], walk[first]["recno"]) << walk[i]["key"];
  }
  const auto missing = Xbtool({"seek", table, "--index", mdx, "--tag", "NAME", "AAAAA", "--json"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(json::parse(missing.out)["found"], false);
}

TEST_F(BuiltOnBig, ABuildThatFailsLosesNothing) {
  const std::string ntx = Build("id.ntx", {"--on", "ID"});
  const std::string mdx = Build("tags.mdx", {"--tag", "ID", "--on", "ID"});
  const std::string ntxBytes = ReadFile(ntx);
  const std::string mdxBytes = ReadFile(mdx);
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--on", "NOSUCHFIELD"},
        std::vector<std::string>{"--on", "ID", "--for", "NAME"},
        std::vector<std::string>{"--on", "ID", "--general"}}) {
    std::vector<std::string> arguments = {"index", table, "--index", ntx, "--tag", "ID"};
    arguments.insert(arguments.end(), bad.begin(), bad.end());
    EXPECT_EQ(Xbtool(arguments).code, 2) << bad[1];
    arguments[3] = mdx;
    EXPECT_EQ(Xbtool(arguments).code, 2) << bad[1];
  }
  EXPECT_EQ(ReadFile(ntx), ntxBytes);
  EXPECT_EQ(ReadFile(mdx), mdxBytes);
  const auto drop = Xbtool({"droptag", table, "--index", ntx, "--tag", "ID"});
  EXPECT_EQ(drop.code, 2);
  EXPECT_NE(drop.err.find("keeps its index"), std::string::npos) << drop.err;
}

TEST_F(BuiltOnBig, ADamagedMdxIsRefusedOrHasItsBlockNamed) {
  const std::string mdx = Build("xb64_big.mdx", {"--tag", "NAME", "--on", "UPPER(NAME)"});
  const std::string bytes = ReadFile(mdx);
  std::ofstream(mdx, std::ios::binary | std::ios::trunc) << bytes.substr(0, 1500);
  auto outcome = Xbtool({"tags", table});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_NE(outcome.err.find("not a valid MDX index file"), std::string::npos) << outcome.err;

  // The root block's key count made impossible.
  std::string damaged = bytes;
  const std::uint32_t header = Word(bytes, 512 + 32) * 512;
  const std::uint32_t root = Word(bytes, header) * 512;
  damaged.replace(root, 4, std::string("\xFF\xFF\x00\x00", 4));
  std::ofstream(mdx, std::ios::binary | std::ios::trunc) << damaged;
  outcome = Xbtool({"walk", table, "--tag", "NAME"});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_NE(outcome.err.find("page " + std::to_string(root)), std::string::npos) << outcome.err;
  EXPECT_EQ(Xbtool({"verify", table}).code, 1);
}

// An encrypted table's index files are enciphered block by block with the table's key.
TEST(EncryptedTableIndexes, AreEncipheredAndReadWithTheKey) {
  TempFolder folder;
  const std::string key = "q3#Lm9!";
  const std::string table = folder / "KVUS.DAT";
  XbtoolOk({"create", table, "--version", "0xF5", "--field", "USERNAME,C,20", "--key", key});
  for (const char* name : {"PARENT", "GUEST", "ALICE", "BOB"})
    XbtoolOk({"append", table, std::string("USERNAME=") + name, "--key", key});
  for (const char* file : {"USERS.NDX", "USERS.NTX", "USERS.MDX"}) {
    const std::string index = folder / file;
    XbtoolOk({"index", table, "--index", index, "--tag", "USERNAME", "--on", "upper(USERNAME)",
              "--key", key});
    EXPECT_EQ(ReadFile(index).find("USERNAME"), std::string::npos) << file;
    const json walk = json::parse(
        XbtoolOk({"walk", table, "--index", index, "--tag", "USERNAME", "--json", "--key", key}));
    ASSERT_EQ(walk.size(), 4u) << file;
    EXPECT_EQ(walk[0]["key"], "ALICE");
    EXPECT_EQ(walk[3]["recno"], 1);
    EXPECT_EQ(Xbtool({"verify", table, "--index", index, "--key", key}).code, 0) << file;
  }
}

}  // namespace
}  // namespace tools::xbtool
