// Record changes by xbtool on a table with a production MDX or with NDX files named by --index
// (one of them written by another program): append, set, delete and recall keep every tag
// current, so that verify finds the files clean, seek finds the new keys, and
// libdbd-xbase-perl's reader walks the changed files as xbtool does.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::FixturePath;
using testing::ReaderScript;
using testing::RunProgram;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

json PerlRecords(const std::string& file, const std::string& tag, const std::string& type) {
  int status = -1;
  const std::string out =
      RunProgram({"/usr/bin/perl", ReaderScript("read_index.pl"), file, tag, type}, status);
  EXPECT_EQ(status, 0) << file;
  json records = json::array();
  for (const json& entry : json::parse(out))
    records.push_back(entry[1]);
  return records;
}

class FamilyUpkeepVerbs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(FixturePath("xb64_big.dbf"), folder / "xb64_big.dbf");
    table = folder / "xb64_big.dbf";
  }

  json WalkRecords(const std::vector<std::string>& options) {
    std::vector<std::string> arguments = {"walk", table, "--json"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    json records = json::array();
    for (const json& entry : json::parse(XbtoolOk(arguments)))
      records.push_back(entry["recno"]);
    return records;
  }

  // Changes of every kind, each through the handler with the files given by options open.
  void ChangeRecords(const std::vector<std::string>& options) {
    const auto run = [&](std::vector<std::string> arguments) {
      arguments.insert(arguments.end(), options.begin(), options.end());
      XbtoolOk(arguments);
    };
    run({"set", table, "1", "NAME=Aaron", "AMOUNT=-5"});
    run({"set", table, "2", "NAME=Zelda", "HIRED=1999-12-31"});
    run({"append", table, "NAME=Mallory", "AMOUNT=12.5", "ID=9999"});
    run({"append", table, "NAME=Aaron", "AMOUNT=3"});
    run({"delete", table, "7"});
    run({"delete", table, "8"});
    run({"recall", table, "8"});
    for (int n = 100; n < 160; n += 3)
      run({"set", table, std::to_string(n), "NAME=Moved" + std::to_string(n % 7)});
  }

  TempFolder folder;
  std::string table;
};

TEST_F(FamilyUpkeepVerbs, AProductionMdxIsKeptCurrentVerifiesAndIsReadByPerl) {
  const std::string mdx = folder / "XB64_BIG.MDX";
  const auto tag = [&](std::vector<std::string> options) {
    std::vector<std::string> arguments = {"index", table, "--index", mdx};
    arguments.insert(arguments.end(), options.begin(), options.end());
    XbtoolOk(arguments);
  };
  tag({"--tag", "NAME", "--on", "UPPER(NAME)"});
  tag({"--tag", "AMOUNT", "--on", "AMOUNT"});
  tag({"--tag", "HIRED", "--on", "HIRED", "--descending"});
  tag({"--tag", "IDPOS", "--on", "ID", "--for", "AMOUNT > 0", "--unique"});
  tag({"--tag", "LIVE", "--on", "UPPER(NAME)", "--for", "!DELETED()"});
  const auto sizeBefore = std::filesystem::file_size(mdx);
  const std::size_t liveBefore = WalkRecords({"--tag", "LIVE"}).size();
  ChangeRecords({});
  EXPECT_EQ(Xbtool({"verify", table}).code, 0);
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NAME", "MALLORY"}), "found: record 2201\n");
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NAME", "AARON"}), "found: record 1\n");
  EXPECT_EQ(Xbtool({"seek", table, "--tag", "IDPOS", "9999"}).code, 0);
  // Two records appended, one deleted (another deleted and recalled).
  EXPECT_EQ(WalkRecords({"--tag", "LIVE"}).size(), liveBefore + 1);
  for (const std::string name : {"NAME", "LIVE", "HIRED"})
    EXPECT_EQ(PerlRecords(mdx, name, "C"), WalkRecords({"--tag", name})) << name;
  EXPECT_GT(std::filesystem::file_size(mdx), sizeBefore) << "no block was split";
}

TEST_F(FamilyUpkeepVerbs, NdxFilesOfThisAndAnotherProgramAreKeptCurrentAndReadByPerl) {
  std::filesystem::copy_file(FixturePath("xb64_big_name.ndx"), folder / "PEER.NDX");
  const std::string peer = folder / "PEER.NDX";
  const std::string amount = folder / "AMOUNT.NDX";
  const std::string hired = folder / "HIRED.NDX";
  XbtoolOk({"index", table, "--index", amount, "--on", "AMOUNT"});
  XbtoolOk({"index", table, "--index", hired, "--on", "HIRED"});
  const std::vector<std::string> files = {"--index", peer, "--index", amount, "--index", hired};
  ChangeRecords(files);
  std::vector<std::string> verify = {"verify", table};
  verify.insert(verify.end(), files.begin(), files.end());
  EXPECT_EQ(Xbtool(verify).code, 0);
  EXPECT_EQ(XbtoolOk({"seek", table, "--index", peer, "MALLORY"}), "found: record 2201\n");
  EXPECT_EQ(PerlRecords(peer, "", "C"), WalkRecords({"--index", peer}));
  EXPECT_EQ(PerlRecords(amount, "", "N"), WalkRecords({"--index", amount}));
  EXPECT_EQ(PerlRecords(hired, "", "N"), WalkRecords({"--index", hired}));
}

}  // namespace
}  // namespace tools::xbtool
