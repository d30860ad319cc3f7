// NTX files kept current by xbtool's append, set and delete on a table Harbour wrote: verify
// finds them clean, and index_layout.py and libdbd-xbase-perl read the changed files in the
// order xbtool walks them.
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

class NtxUpkeepVerbs : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* extension : {".dbf", ".dbt"}) {
      std::filesystem::copy_file(FixturePath(std::string("hb_ntx_2k") + extension),
                                 folder.path() / (std::string("hb_ntx_2k") + extension));
    }
    table = (folder.path() / "hb_ntx_2k.dbf").string();
    XbtoolOk({"index", table, "--index", site, "--on", "Upper( SITE )"});
    XbtoolOk({"index", table, "--index", num, "--on", "NUM"});
  }

  std::string Upper(const std::string& name) { return (folder.path() / name).string(); }

  // xbtool with both index files kept current.
  void Change(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--index", site, "--index", num});
    XbtoolOk(arguments);
  }

  json WalkRecords(const std::string& index) {
    json records = json::array();
    for (const json& entry : json::parse(XbtoolOk({"walk", table, "--index", index, "--json"})))
      records.push_back(entry["recno"]);
    return records;
  }

  TempFolder folder;
  std::string table;
  std::string site = Upper("SITE.NTX");
  std::string num = Upper("NUM.NTX");
};

TEST_F(NtxUpkeepVerbs, ChangedFilesVerifyAndAreReadBackByOtherReaders) {
  for (int n = 0; n < 40; ++n) {
    const std::string site = "SITE=www.kept" + std::to_string(n * 37 % 23) + ".example";
    const std::string number = "NUM=" + std::to_string(n % 7 == 0 ? -n * 3 : n * 11) + ".25";
    if (n % 3 == 0) {
      Change({"append", table, site, number});
    } else {
      Change({"set", table, std::to_string(n * 53 % 2000 + 1), site, number});
    }
    if (n % 10 == 5) Change({"delete", table, std::to_string(n * 17 + 1)});
  }
  const auto verified = Xbtool({"verify", table, "--index", site, "--index", num});
  EXPECT_EQ(verified.code, 0) << verified.out << verified.err;

  for (const auto& [index, type] : {std::pair{site, "C"}, std::pair{num, "N"}}) {
    const json walked = WalkRecords(index);
    ASSERT_EQ(walked.size(), 2014u) << index;
    int status = -1;
    const json decoded = json::parse(
        RunProgram({"/usr/bin/python3", ReaderScript("read_ntx.py"), index, type}, status));
    ASSERT_EQ(status, 0);
    json records = json::array();
    for (const json& entry : decoded["entries"])
      records.push_back(entry[0]);
    EXPECT_EQ(records, walked) << "index_layout.py on " << index;
    EXPECT_EQ(decoded["layout"]["keys_in_tree"], 2014);
    const std::string perl =
        RunProgram({"/usr/bin/perl", ReaderScript("read_index.pl"), index, "", "C"}, status);
    ASSERT_EQ(status, 0);
    records = json::array();
    for (const json& pair : json::parse(perl))
      records.push_back(pair[1]);
    EXPECT_EQ(records, walked) << "libdbd-xbase-perl on " << index;
  }
}

}  // namespace
}  // namespace tools::xbtool
