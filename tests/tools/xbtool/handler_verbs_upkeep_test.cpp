// Record changes by xbtool on a table with a production index: append, set, delete and recall
// keep its tags current, so that verify finds them clean and seek finds the new keys.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

TEST(HandlerVerbsUpkeep, RecordChangesKeepTheProductionIndexCurrent) {
  TempFolder folder;
  const std::string table = (folder.path() / "T.DBF").string();
  XbtoolOk({"create", table, "--version", "0x03", "--field", "NAME,C,10", "--field", "NUM,N,5"});
  XbtoolOk({"append", table, "NAME=B", "NUM=2"});
  XbtoolOk({"index", table, "--tag", "NAME", "--on", "NAME"});
  XbtoolOk({"index", table, "--tag", "NUM", "--on", "NUM", "--for", "NUM > 0"});
  EXPECT_EQ(XbtoolOk({"append", table, "NAME=A", "NUM=1"}), "appended record 2\n");
  XbtoolOk({"set", table, "1", "NAME=C"});
  XbtoolOk({"delete", table, "2"});
  XbtoolOk({"recall", table, "2"});
  XbtoolOk({"set", table, "2", "NUM=0"});
  EXPECT_EQ(Xbtool({"verify", table}).code, 0);
  EXPECT_EQ(XbtoolOk({"seek", table, "--tag", "NAME", "C"}), "found: record 1\n");
  EXPECT_EQ(Xbtool({"seek", table, "--tag", "NAME", "B"}).code, 1);
  const json walk = json::parse(XbtoolOk({"walk", table, "--tag", "NUM", "--json"}));
  ASSERT_EQ(walk.size(), 1u);
  EXPECT_EQ(walk[0]["recno"], 1);
}

}  // namespace
}  // namespace tools::xbtool
