// The verbs end to end: what they print, what they change, how they fail.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/sim/machine_profiles.hpp"
#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A small memo table: three records, the second deleted.
class SmallTable : public ::testing::Test {
 protected:
  void SetUp() override {
    XbtoolOk({"create", table, "--version", "0xF5", "--field", "NAME,C,12", "--field", "NUM,N,6,1",
              "--field", "BORN,D", "--field", "NOTE,M", "--memo-block", "32"});
    XbtoolOk({"append", table, "NAME=Ann", "NUM=1.5", "BORN=19991231", "NOTE=first\nsecond"});
    XbtoolOk({"append", table, "NAME=Bob, Jr.", "NUM=-2"});
    XbtoolOk({"append", table, "NAME=Cy \"C\"", "BORN=2000-01-01"});
    XbtoolOk({"delete", table, "2"});
  }

  TempFolder folder;
  std::string table = (folder.path() / "T.DBF").string();
};

TEST_F(SmallTable, InfoShowsHeaderFactsAndFields) {
  const std::string info = XbtoolOk({"info", table});
  for (const char* fact :
       {"Version        0xF5 (table with .FPT memo file)", "Records        3\n",
        "Header length  161\n", "Record length  37\n", "Encrypted      no\n",
        "Table flags    0x00\n", "Code page      0x00 (not set)\n", "T.FPT, block size 32\n",
        "Fields (4):", "     1  NAME         C         12         0       1\n",
        "     2  NUM          N          6         1      13\n",
        "     4  NOTE         M         10         0      27\n"})
    EXPECT_TRUE(Contains(info, fact)) << fact << "\n" << info;
}

TEST_F(SmallTable, InfoNoticesAStaleStoredCountAndAMissingMemoFile) {
  {
    std::fstream file(table, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(4);
    file.put(7);
  }
  std::filesystem::remove(folder.path() / "T.FPT");
  const std::string info = XbtoolOk({"info", table});
  EXPECT_TRUE(Contains(info, "Records        3 (from the file size; the header says 7)")) << info;
  EXPECT_TRUE(Contains(info, "T.FPT (missing)")) << info;
}

TEST_F(SmallTable, DumpShowsLiveRecordsAndDeletedOnesOnRequest) {
  EXPECT_EQ(XbtoolOk({"dump", table}),
            "Record 1\n"
            "  NAME  Ann\n"
            "  NUM   1.5\n"
            "  BORN  1999-12-31\n"
            "  NOTE  first\n"
            "        second\n"
            "Record 3\n"
            "  NAME  Cy \"C\"\n"
            "  NUM   0.0\n"
            "  BORN  2000-01-01\n"
            "  NOTE\n");
  const std::string all = XbtoolOk({"dump", "--deleted", table});
  EXPECT_TRUE(Contains(all, "Record 2 (deleted)\n  NAME  Bob, Jr.\n  NUM   -2.0\n  BORN\n")) << all;
}

TEST_F(SmallTable, ExportsCsvWithQuoting) {
  EXPECT_EQ(XbtoolOk({"export", table, "--csv"}),
            "_recno,_deleted,NAME,NUM,BORN,NOTE\r\n"
            "1,F,Ann,1.5,1999-12-31,\"first\nsecond\"\r\n"
            "2,T,\"Bob, Jr.\",-2.0,,\r\n"
            "3,F,\"Cy \"\"C\"\"\",0.0,2000-01-01,\r\n");
}

TEST_F(SmallTable, SetDeleteAndRecallChangeOneRecord) {
  EXPECT_EQ(XbtoolOk({"set", table, "3", "num=9.5", "NOTE=added later"}), "changed record 3\n");
  EXPECT_EQ(XbtoolOk({"recall", table, "2"}), "record 2 is now not deleted\n");
  EXPECT_EQ(XbtoolOk({"recall", table, "2"}), "record 2 was already not deleted\n");
  EXPECT_EQ(XbtoolOk({"delete", table, "1"}), "record 1 is now deleted\n");
  const json records = json::parse(XbtoolOk({"export", table, "--json"}));
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0]["_deleted"], true);
  EXPECT_EQ(records[0]["NOTE"], "first\nsecond");
  EXPECT_EQ(records[1]["_deleted"], false);
  EXPECT_EQ(records[2]["NUM"], 9.5);
  EXPECT_EQ(records[2]["NOTE"], "added later");
  EXPECT_EQ(records[2]["NAME"], "Cy \"C\"");
}

TEST_F(SmallTable, RecordsOutsideTheTableAreErrors) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"set", table, "4", "NUM=1"},
        {"delete", table, "9"},
        {"lock", table, "4"}}) {
    const Outcome outcome = Xbtool(arguments);
    EXPECT_EQ(outcome.code, 2) << arguments[0];
    EXPECT_TRUE(Contains(outcome.err, "dBase record request beyond EOF")) << outcome.err;
  }
  const Outcome zero = Xbtool({"delete", table, "0"});
  EXPECT_EQ(zero.code, 2);
  EXPECT_TRUE(Contains(zero.err, "RECNO must be from 1 to")) << zero.err;
}

TEST(Verbs, CodePagesConvertBothWays) {
  TempFolder folder;
  const std::string table = (folder.path() / "CP.DBF").string();
  XbtoolOk({"create", table, "--version", "0x03", "--field", "T,C,10"});
  XbtoolOk({"append", table, "T=Grüße"});                          // 437: 0x81 for ü
  XbtoolOk({"append", table, "T=Grüße €", "--codepage", "1252"});  // 1252: 0xFC, 0x80
  std::ifstream in(table, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_TRUE(Contains(bytes,
                       "Gr\x81\xE1"
                       "e"))
      << "code page 437 bytes";
  EXPECT_TRUE(Contains(bytes,
                       "Gr\xFC\xDF"
                       "e \x80"))
      << "code page 1252 bytes";
  const json as437 = json::parse(XbtoolOk({"export", table, "--json"}));
  EXPECT_EQ(as437[0]["T"], "Grüße");
  const json as1252 = json::parse(XbtoolOk({"export", table, "--json", "--codepage=1252"}));
  EXPECT_EQ(as1252[1]["T"], "Grüße €");
  const std::string raw = XbtoolOk({"dump", table, "--raw"});
  EXPECT_TRUE(Contains(raw,
                       "Gr\x81\xE1"
                       "e\n"))
      << raw;
}

TEST(Verbs, WorksOnASimulatedMachine) {
  TempFolder folder;
  platform::sim::MakeMachine(folder.path(), "win98");
  std::filesystem::create_directories(folder.path() / "drives" / "C" / "DATA");
  const std::string machine = folder.path().string();
  XbtoolOk({"--machine", machine, "create", "C:\\data\\kvus.dat", "--version", "0x03", "--field",
            "USERNAME,C,20"});
  XbtoolOk({"append", "--machine=" + machine, "C:\\DATA\\KVUS.DAT", "USERNAME=PARENT"});
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "drives" / "C" / "DATA" / "KVUS.DAT"));
  EXPECT_TRUE(
      Contains(XbtoolOk({"dump", "C:\\DATA\\KVUS.DAT", "--machine", machine}), "USERNAME  PARENT"));
  const Outcome notAMachine = Xbtool({"info", "C:\\X.DBF", "--machine", machine + "/nothing"});
  EXPECT_EQ(notAMachine.code, 2);
  EXPECT_FALSE(notAMachine.err.empty());
}

TEST(Verbs, CreateMakesEveryVersionAndRefusesBadLayouts) {
  TempFolder folder;
  const std::string table = (folder.path() / "NEW").string();
  EXPECT_EQ(
      XbtoolOk({"create", table, "--version", "0x8b", "--field", "N,M", "--memo-block", "1024"}),
      "created " + (folder.path() / "NEW.DBF").string() + " (1 fields, record length 11)\n");
  EXPECT_TRUE(Contains(XbtoolOk({"info", table}), "NEW.DBT, block size 1024"));
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"create", table + "2", "--field", "A,C,1"}, "--version is missing"},
      {{"create", table + "2", "--version", "0x04", "--field", "A,C,1"},
       "--version must be 0x03, 0x30, 0x83, 0x8B or 0xF5, not \"0x04\""},
      {{"create", table + "2", "--version", "0x03"}, "give at least one --field"},
      {{"create", table + "2", "--version", "0x03", "--field", "A,C"},
       "--field A,C: a field of type C needs LEN"},
      {{"create", table + "2", "--version", "0x03", "--field", "A"},
       "--field A: give NAME,TYPE,LEN[,DEC]"},
      {{"create", table + "2", "--version", "0x03", "--field", "A,C,x"},
       "--field A,C,x: LEN must be a whole number"},
      {{"create", table + "2", "--version", "0x03", "--field", "A,I"}, "A"},
      {{"create", table, "--version", "0x03", "--field", "A,C,1"}, "File already exists"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Xbtool(c.arguments);
    EXPECT_EQ(outcome.code, 2) << c.message;
    EXPECT_TRUE(Contains(outcome.err, c.message)) << outcome.err;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "NEW2.DBF"));
}

TEST(Verbs, HelpAndUsageErrors) {
  const Outcome help = Xbtool({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* verb :
       {"info", "dump", "export", "create", "append", "set", "delete", "recall", "lock"})
    EXPECT_TRUE(Contains(help.out, std::string("\n  ") + verb + " ")) << verb;
  EXPECT_TRUE(Contains(Xbtool({"lock", "--help"}).out, "Usage: xbtool lock FILE RECNO"));
  EXPECT_EQ(Xbtool({"help", "export"}).out, Xbtool({"export", "-h"}).out);
  EXPECT_TRUE(Contains(Xbtool({"export", "-h"}).out, "--key K"));

  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{}, "Usage: xbtool VERB"},
      {{"frobnicate"}, "xbtool: unknown verb \"frobnicate\""},
      {{"info"}, "xbtool info: FILE is missing"},
      {{"info", "A", "B"}, "xbtool info: unexpected argument \"B\""},
      {{"export", "A"}, "xbtool export: give either --json or --csv"},
      {{"export", "A", "--json", "--csv"}, "give either --json or --csv"},
      {{"dump", "A", "--codepage", "866"}, "--codepage must be 437, 850 or 1252, not 866"},
      {{"dump", "A", "--codepage", "850", "--raw"}, "--raw and --codepage exclude each other"},
      {{"dump", "A", "--bogus"}, "unknown option --bogus\nRun \"xbtool dump --help\""},
      {{"info", "/nonexistent/folder/X.DBF"}, "xbtool info: "},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Xbtool(c.arguments);
    EXPECT_EQ(outcome.code, 2) << c.message;
    EXPECT_TRUE(Contains(outcome.err, c.message)) << outcome.err;
    EXPECT_TRUE(outcome.out.empty());
  }
}

TEST(Verbs, ReportsTablesThatAreNoTables) {
  TempFolder folder;
  const std::string file = (folder.path() / "JUNK.DBF").string();
  std::ofstream(file) << "this is not a table at all, just some text";
  const Outcome outcome = Xbtool({"export", file, "--json"});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_TRUE(Contains(outcome.err, "dBase DBF file header invalid")) << outcome.err;
  EXPECT_TRUE(outcome.out.empty());
}

}  // namespace
}  // namespace tools::xbtool

namespace tools::xbtool {
namespace {

TEST(Verbs, InfoExplainsMemoFieldsThatReadAsEmpty) {
  TempFolder folder;
  std::filesystem::copy_file(std::filesystem::path(KORVANE_FIXTURES_DIR) / "pydbf_vfp_memo.dbf",
                             folder.path() / "VFP.DBF");
  const std::string info = XbtoolOk({"info", (folder.path() / "VFP.DBF").string()});
  EXPECT_NE(info.find("Memo file      none: the memo flag is not set"), std::string::npos) << info;
  EXPECT_NE(info.find("Code page      0x03 (code page 1252); texts are shown in code page 437"),
            std::string::npos)
      << info;
}

}  // namespace
}  // namespace tools::xbtool

namespace tools::xbtool {
namespace {

TEST(Verbs, EvalRunsThroughTheTool) {
  EXPECT_NE(Xbtool({"--help"}).out.find("\n  eval     evaluate an expression"), std::string::npos);
  EXPECT_NE(Xbtool({"help", "eval"}).out.find("Usage: xbtool eval EXPR"), std::string::npos);
  const Outcome outcome = Xbtool({"eval", "1+2*3", "--json"});
  EXPECT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(json::parse(outcome.out), json::parse(R"({"text":"1+2*3","type":4,"value":7})"));
  EXPECT_EQ(Xbtool({"eval", "1+"}).code, 2);
}

}  // namespace
}  // namespace tools::xbtool

namespace tools::xbtool {
namespace {

TEST(Verbs, RawExportOfTextsThatAreNotUtf8StaysJson) {
  TempFolder folder;
  const std::string table = (folder.path() / "RAW.DBF").string();
  XbtoolOk({"create", table, "--version", "0x03", "--field", "T,C,10"});
  XbtoolOk({"append", table, "--raw",
            "T=Gr\x81\xE1"
            "e"});
  const Outcome raw = Xbtool({"export", table, "--json", "--raw"});
  EXPECT_EQ(raw.code, 0) << raw.err;
  EXPECT_EQ(json::parse(raw.out)[0]["T"], "Gr\uFFFD\uFFFDe");
  EXPECT_EQ(XbtoolOk({"export", table, "--json"}),
            "[\n{\"_recno\":1,\"_deleted\":false,\"T\":\"Grüße\"}\n]\n");
}

TEST(Verbs, CommandLineErrorsNameTheVerbAndExitTwo) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"dump", "A", "--key"}, "xbtool dump: --key needs a value\nRun \"xbtool dump --help\""},
      {{"--codepage", "850", "dump", "A", "--codepage", "437"},
       "xbtool dump: --codepage is given twice"},
      {{"lock", "A"}, "xbtool lock: RECNO is missing"},
      {{"eval", "1", "--json=yes"}, "xbtool eval: --json takes no value"},
      {{"help", "frobnicate"}, "xbtool: unknown verb \"frobnicate\""},
  };
  for (const auto& c : cases) {
    const Outcome outcome = Xbtool(c.arguments);
    EXPECT_EQ(outcome.code, 2) << c.message;
    EXPECT_TRUE(Contains(outcome.err, c.message)) << outcome.err;
    EXPECT_TRUE(outcome.out.empty()) << outcome.out;
  }
}

}  // namespace
}  // namespace tools::xbtool
