// xbtool eval: expressions on their own and against the records of a table, as text lines
// and as JSON objects, with the failures and exit status.
#include "tools/xbtool/eval_command.hpp"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/native/native_machine.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace tools::xbtool {
namespace {

struct EvalOutcome {
  int code;
  std::string out, err;
};

EvalOutcome Eval(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = RunEvalCommand(args, out, err);
  return {code, out.str(), err.str()};
}

nlohmann::json JsonOf(const std::vector<std::string>& args) {
  std::vector<std::string> withJson = args;
  withJson.push_back("--json");
  return nlohmann::json::parse(Eval(withJson).out);
}

std::vector<nlohmann::json> JsonLines(const std::string& out) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    lines.push_back(nlohmann::json::parse(line));
  return lines;
}

TEST(EvalCommand, PrintsTextTypeAndValue) {
  EvalOutcome outcome = Eval({"1 + 2 * 3"});
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(outcome.out, "expression: 1+2*3\ntype 4 (Number): 7\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(Eval({"upper('ab ') + 'c'"}).out,
            "expression: UPPER(\"ab \")+\"c\"\ntype 3 (Text): \"AB c\"\n");
  EXPECT_EQ(Eval({"{19800101}"}).out,
            "expression: {1/1/1980}\ntype 6 (Date): 19800101 (day 2444240)\n");
  EXPECT_EQ(Eval({"CTOD('')"}).out, "expression: CTOD(\"\")\ntype 6 (Date): empty date (day 0)\n");
  EXPECT_EQ(Eval({".NOT. .F."}).out, "expression: .NOT..F.\ntype 8 (Boolean): .T.\n");
  EXPECT_EQ(Eval({"()"}).out, "expression: ()\ntype 1 (Undefined): no value\n");
  EXPECT_EQ(Eval({""}).out, "expression: \ntype 0 (None): no value\n");
}

TEST(EvalCommand, JsonObjectPerEvaluation) {
  struct Row {
    const char* expression;
    const char* json;
  };
  const Row rows[] = {
      {"1+2*3", R"j({"text":"1+2*3","type":4,"value":7})j"},
      {"'ab'+'c'", R"j({"text":"\"ab\"+\"c\"","type":3,"value":"abc"})j"},
      {"CHR(200)", R"j({"text":"CHR(200)","type":3,"value":"\u00c8"})j"},
      {"1/0", R"j({"text":"1/0","type":4,"value":null})j"},
      {"0.1", R"j({"text":"0.1","type":4,"value":0.1})j"},
      {"CTOD('')", R"j({"text":"CTOD(\"\")","type":6,"value":"        ","day":0})j"},
      {"{19800101}+1", R"j({"text":"{1/1/1980}+1","type":4,"value":2444241})j"},
      {"1+{19800101}", R"j({"text":"1+{1/1/1980}","type":6,"value":"19800102","day":2444241})j"},
      {"1=1", R"j({"text":"1=1","type":8,"value":true})j"},
      {"()", R"j({"text":"()","type":1,"value":null})j"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(JsonOf({row.expression}), nlohmann::json::parse(row.json)) << row.expression;
  }
}

TEST(EvalCommand, FailuresPrintTheirMessageAndExitTwo) {
  const std::pair<const char*, const char*> rows[] = {
      {"(1", "Missing closing parentheses"},
      {"NOSUCH(1)", "There is no function for NOSUCH"},
      {"SITE", "Field/variable SITE is unknown"},
      {"'a' = 1", "The two sides of an operation do not match"},
      {"MOD(1, 0)", "Division by zero"},
      {"LEFT('a', 'x')", "'x' is not a valid floating point value"},
  };
  for (const auto& [expression, message] : rows) {
    EvalOutcome outcome = Eval({expression});
    EXPECT_EQ(outcome.code, 2) << expression;
    EXPECT_EQ(outcome.err, std::string(message) + "\n") << expression;
    EvalOutcome json = Eval({expression, "--json"});
    EXPECT_EQ(json.code, 2) << expression;
    ASSERT_FALSE(json.out.empty()) << expression;
    EXPECT_EQ(nlohmann::json::parse(json.out)["error"], message) << expression;
  }
}

TEST(EvalCommand, RefusesCommandLinesItCannotTake) {
  const std::vector<std::vector<std::string>> lines = {
      {},
      {"1", "2"},
      {"1", "--record", "1"},
      {"1", "--all"},
      {"1", "--key", "k"},
      {"1", "--table", "x.dbf", "--all", "--record", "2"},
      {"1", "--table", "x.dbf", "--record", "0"},
      {"1", "--bogus"},
  };
  for (const auto& line : lines) {
    EvalOutcome outcome = Eval(line);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_TRUE(outcome.err.starts_with("xbtool eval: ")) << outcome.err;
  }
  EvalOutcome help = Eval({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: xbtool eval EXPR")) << help.out;
}

// A plain table in a host folder: SITE C(20), NUM N(6,1), D D.
class EvalOnTable : public ::testing::Test {
 protected:
  EvalOnTable() {
    path_ = (folder_.path() / "SITES.DBF").string();
    platform::NativeMachine machine;
    platform::ScopedMachine scoped(machine);
    tables::XbEngineScope engine;
    tables::CreateTable(path_, 0x03, {{"SITE", 'C', 20, 0}, {"NUM", 'N', 6, 1}, {"D", 'D', 8, 0}});
    tables::XBO_dBaseFld table(path_, false, true, "");
    struct {
      const char* site;
      double num;
      std::int32_t day;
    } records[] = {{"www.a.com", 65, 2444240}, {"shop.b.io", 300, 0}, {"x", 66, 2460370}};
    for (const auto& record : records) {
      table.BlankRecord();
      table.SetFieldText("SITE", record.site);
      table.SetFieldNumber("NUM", record.num);
      if (record.day) table.SetFieldDate("D", record.day);
      table.AppendRecord();
    }
  }

  platform::testing::TempFolder folder_;
  std::string path_;
};

TEST_F(EvalOnTable, EvaluatesAgainstOneRecord) {
  EvalOutcome first = Eval({"Upper(SITE)", "--table", path_});
  EXPECT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(first.out, "expression: UPPER(SITE)\nrecord 1: type 3 (Text): \"WWW.A.COM" +
                           std::string(11, ' ') + "\"\n");
  nlohmann::json second =
      JsonOf({"TRIM(SITE) + STR(RECNO(), 2)", "--table", path_, "--record", "2"});
  EXPECT_EQ(second["record"], 2);
  EXPECT_EQ(second["value"], "shop.b.io 2");
  EXPECT_EQ(second["type"], 3);

  EvalOutcome beyond = Eval({"NUM", "--table", path_, "--record", "9"});
  EXPECT_EQ(beyond.code, 2);
  EXPECT_TRUE(beyond.err.starts_with("record 9: dBase record request beyond EOF")) << beyond.err;
}

TEST_F(EvalOnTable, AllRecordsGoOnAfterAFailingOne) {
  EvalOutcome all = Eval({"CHR(NUM)", "--table", path_, "--all", "--json"});
  EXPECT_EQ(all.code, 2);
  std::vector<nlohmann::json> lines = JsonLines(all.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], nlohmann::json::parse(R"j({"record":1,"text":"CHR(NUM)","type":3,"value":"A"
})j"));
  EXPECT_EQ(lines[1], nlohmann::json::parse(
                          R"j({"record":2,"error":"A Byte value is required but invalid"})j"));
  EXPECT_EQ(lines[2]["value"], "B");

  EvalOutcome plain = Eval({"EMPTY(D)", "--table", path_, "--all"});
  EXPECT_EQ(plain.code, 0);
  EXPECT_EQ(plain.out,
            "expression: EMPTY(D)\n"
            "record 1: type 8 (Boolean): .F.\n"
            "record 2: type 8 (Boolean): .T.\n"
            "record 3: type 8 (Boolean): .F.\n");
}

TEST_F(EvalOnTable, UnknownFieldOfTheTable) {
  EvalOutcome outcome = Eval({"NOSUCH + 1", "--table", path_});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_EQ(outcome.err, "There is no function for NOSUCH\n");
}

}  // namespace
}  // namespace tools::xbtool
