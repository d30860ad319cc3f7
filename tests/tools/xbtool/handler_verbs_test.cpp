// The verbs that work through the table handler: filter, rekey, seek with --near, and lock
// with the production index open.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/native/native_file_system.hpp"
#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::ReadFile;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Five records with memos, the third deleted.
class HandledTable : public ::testing::Test {
 protected:
  void SetUp() override {
    XbtoolOk({"create", table, "--version", "0xF5", "--field", "NAME,C,10", "--field", "NUM,N,5",
              "--field", "NOTE,M"});
    for (int n = 1; n <= 5; ++n) {
      XbtoolOk({"append", table, "NAME=N" + std::to_string(n), "NUM=" + std::to_string(n * 100),
                n % 2 ? "NOTE=memo " + std::to_string(n) : "NOTE="});
    }
    XbtoolOk({"delete", table, "3"});
  }
  json Export(const std::string& key = "") {
    std::vector<std::string> arguments = {"export", table, "--json"};
    if (!key.empty()) arguments.insert(arguments.end(), {"--key", key});
    return json::parse(XbtoolOk(arguments));
  }
  std::string Path(const std::string& name) { return (folder.path() / name).string(); }

  TempFolder folder;
  std::string table = Path("T.DBF");
};

TEST_F(HandledTable, FilterListsAdmittedRecordsDeletedOnesIncluded) {
  EXPECT_EQ(XbtoolOk({"filter", table, "NUM > 200"}), "3\n4\n5\n");
  const json all = Export();
  const json filtered =
      json::parse(XbtoolOk({"filter", table, "NUM > 200 .AND. NUM < 500", "--json"}));
  EXPECT_EQ(filtered, (json{all[2], all[3]}));
  EXPECT_EQ(XbtoolOk({"filter", table, "NAME = 'NONE'"}), "");
  EXPECT_EQ(XbtoolOk({"filter", table, "NAME = 'NONE'", "--json"}), "[]\n");
}

TEST_F(HandledTable, FilterRefusesAnExpressionThatIsNotLogical) {
  const Outcome outcome = Xbtool({"filter", table, "NUM + 1"});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_TRUE(Contains(outcome.err, "Filter expression must return boolean result")) << outcome.err;
}

TEST_F(HandledTable, RekeyThereAndBackGivesTheSameRecordsAndMemos) {
  const json plain = Export();
  const std::string before = ReadFile(table);
  EXPECT_EQ(XbtoolOk({"rekey", table, "--new-key", "K"}), "the table has its new key\n");
  EXPECT_EQ(Export("K"), plain);
  EXPECT_EQ(Xbtool({"export", table, "--json"}).code, 2);
  XbtoolOk({"rekey", table, "--key", "K", "--new-key", "SECOND"});
  EXPECT_EQ(Export("SECOND"), plain);
  EXPECT_EQ(XbtoolOk({"rekey", table, "--key", "SECOND"}), "the table is now plain\n");
  EXPECT_EQ(Export(), plain);
  const std::string after = ReadFile(table);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(32), before.substr(32));
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_NE(entry.path().extension(), ".OLDKEY") << entry.path();
  }
}

TEST_F(HandledTable, RekeyWithTheWrongKeyChangesNothing) {
  XbtoolOk({"rekey", table, "--new-key", "K"});
  const std::string before = ReadFile(table);
  const Outcome outcome = Xbtool({"rekey", table, "--key", "WRONG", "--new-key", "X"});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_EQ(ReadFile(table), before);
}

TEST_F(HandledTable, RekeyTakesTheProductionIndexAlong) {
  XbtoolOk({"index", table, "--tag", "NAME", "--on", "NAME"});
  XbtoolOk({"rekey", table, "--new-key", "K"});
  const json walk = json::parse(XbtoolOk({"walk", table, "--tag", "NAME", "--json", "--key", "K"}));
  ASSERT_EQ(walk.size(), 5u);
  EXPECT_EQ(walk[0]["key"], "N1");
  EXPECT_EQ(Xbtool({"verify", table, "--key", "K"}).code, 0);
}

TEST_F(HandledTable, SeekNearStopsOnTheNextEntry) {
  XbtoolOk({"index", table, "--tag", "NUM", "--on", "NUM"});
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NUM", "400"}), "found: record 4\n");
  const Outcome exact = Xbtool({"seek", table, "--tag", "NUM", "250", "--json"});
  EXPECT_EQ(exact.code, 1);
  EXPECT_EQ(json::parse(exact.out), (json{{"found", false}, {"recno", nullptr}}));
  const Outcome near = Xbtool({"seek", table, "--tag", "NUM", "250", "--near"});
  EXPECT_EQ(near.code, 1);
  EXPECT_EQ(near.out, "not found; next entry: record 3\n");
  EXPECT_EQ(Xbtool({"seek", table, "--tag", "NUM", "999", "--near"}).out, "not found\n");
  XbtoolOk({"index", table, "--tag", "NAME", "--on", "NAME"});
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NAME", "N", "--prefix"}), "found: record 1\n");
  const Outcome missingTag = Xbtool({"seek", table, "--tag", "NOSUCH", "1"});
  EXPECT_EQ(missingTag.code, 2);
  EXPECT_TRUE(Contains(missingTag.err, "Cannot find index tag NOSUCH")) << missingTag.err;
}

TEST_F(HandledTable, LockOpensTheProductionIndexFirst) {
  XbtoolOk({"index", table, "--tag", "NAME", "--on", "NAME"});
  platform::NativeFileSystem files;
  std::unique_ptr<platform::File> held;
  ASSERT_EQ(files.Open(table, platform::file_access::GenericRead, platform::file_share::ReadWrite,
                       platform::Disposition::OpenExisting, held),
            platform::win_error::Success);
  ASSERT_EQ(held->Lock(0x7FFFFFFE - 2, 1), platform::win_error::Success);
  EXPECT_EQ(Xbtool({"lock", table, "2"}).out, "busy\n");
  EXPECT_EQ(Xbtool({"lock", table, "1"}).out, "locked\n");
}

}  // namespace
}  // namespace tools::xbtool
