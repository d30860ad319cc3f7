// What append stores and export reads back, type by type, and the values append refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"
#include "tools/xbtool/field_value.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

struct OneField {
  TempFolder folder;
  std::string table = (folder.path() / "T.DBF").string();

  OneField(const char* version, const char* field) {
    XbtoolOk({"create", table, "--version", version, "--field", field});
  }
  json Export() { return json::parse(XbtoolOk({"export", table, "--json"})); }
};

const std::string kLongTextStore(300, 'x');
const char* const kLongText = kLongTextStore.c_str();

TEST(FieldValues, AppendStoresAndExportReadsBack) {
  const struct {
    const char* version;
    const char* field;
    const char* value;
    const char* exported;  // JSON
  } cases[] = {
      {"0x03", "A,C,10", "abc", R"("abc")"},
      {"0x03", "A,C,10", "  lead", R"("  lead")"},
      {"0x03", "A,C,10", "", R"("")"},
      {"0x03", "A,C,10", "Grüße ╔═╗", R"("Grüße ╔═╗")"},
      {"0x03", "A,C,300", kLongText, nullptr},
      {"0x03", "A,N,8,2", "12.5", "12.50"},
      {"0x03", "A,N,8,2", "-3", "-3.00"},
      {"0x03", "A,N,8,2", "+7.1", "7.10"},
      {"0x03", "A,N,8,2", "99999.99", "99999.99"},
      {"0x03", "A,N,8,2", "", "0.00"},
      {"0x03", "A,N,5", "", "0"},
      {"0x03", "A,N,5", "-42", "-42"},
      {"0x03", "A,N,5,1", "-0.0", "0.0"},
      {"0x03", "A,F,10,3", "1.25", "1.250"},
      {"0x03", "A,D", "20240131", R"("2024-01-31")"},
      {"0x03", "A,D", "2024-02-29", R"("2024-02-29")"},
      {"0x03", "A,D", "", "null"},
      {"0x03", "A,L", "T", "true"},
      {"0x03", "A,L", "F", "false"},
      {"0x03", "A,L", "y", "true"},
      {"0x03", "A,L", "", "false"},
      {"0x83", "A,M", "two\nlines", R"("two\nlines")"},
      {"0x83", "A,M", "", "null"},
      {"0x83", "A,G", "general", R"("general")"},
      {"0xF5", "A,B", "binary memo", R"("binary memo")"},
      {"0x8B", "A,M", "block headers", R"("block headers")"},
      {"0x30", "A,M", "visual memo", R"("visual memo")"},
      {"0x30", "A,I", "2147483647", "2147483647"},
      {"0x30", "A,I", "-2147483648", "-2147483648"},
      {"0x30", "A,I", "", "0"},
      {"0x30", "A,B", "3.25", "3.25"},
      {"0x30", "A,B", "-1e300", "-1e300"},
      {"0x30", "A,Y", "922337203685477.5807", R"("922337203685477.5807")"},
      {"0x30", "A,Y", "-922337203685477.5808", R"("-922337203685477.5808")"},
      {"0x30", "A,Y", "12.3456", R"("12.3456")"},
      {"0x30", "A,Y", "0.1", R"("0.1000")"},
      {"0x30", "A,Y", "-0.0001", R"("-0.0001")"},
      {"0x30", "A,Y", "", R"("0.0000")"},
      {"0x30", "A,T", "2021-03-04T05:06:07.123", R"("2021-03-04T05:06:07.123")"},
      {"0x30", "A,T", "2021-03-04", R"("2021-03-04T00:00:00.000")"},
      {"0x30", "A,T", "", "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.version) + " " + c.field + " = " + c.value);
    OneField table(c.version, c.field);
    XbtoolOk({"append", table.table, std::string("A=") + c.value});
    const json records = table.Export();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0]["_recno"], 1);
    EXPECT_EQ(records[0]["_deleted"], false);
    const json expected = c.exported ? json::parse(c.exported) : json(c.value);
    EXPECT_EQ(records[0]["A"], expected);
  }
}

TEST(FieldValues, NumbersKeepTheirStoredDigits) {
  OneField table("0x03", "A,N,20,4");
  XbtoolOk({"append", table.table, "A=1234567890123.4567"});
  EXPECT_NE(XbtoolOk({"export", table.table, "--json"}).find("\"A\":1234567890123.4567"),
            std::string::npos);
}

TEST(FieldValues, AppendRefusesValuesThatDoNotFit) {
  const struct {
    const char* version;
    const char* field;
    const char* assignment;
    const char* message;
  } cases[] = {
      {"0x03", "A,C,3", "A=abcd", "A: \"abcd\" is 4 characters long; the field holds 3"},
      {"0x03", "A,C,3", "A=€", "\"€\" cannot be written in code page 437"},
      {"0x03", "A,N,8,2", "A=abc", "A: \"abc\" is not a decimal number"},
      {"0x03", "A,N,8,2", "A=1e5", "A: \"1e5\" is not a decimal number"},
      {"0x03", "A,N,8,2", "A=1.234", "A: \"1.234\" has more decimals than the field's 2"},
      {"0x03", "A,N,5,2", "A=1234.5", "Number too large to fit in field - A - 1234.50"},
      {"0x03", "A,D", "A=2023-02-29", "A: \"2023-02-29\" is not a date"},
      {"0x03", "A,L", "A=maybe", "dBase field is of incorrect type"},
      {"0x03", "A,L", "NOPE=1", "dBase field name is invalid"},
      {"0x03", "A,L", "A", "\"A\" is not NAME=VALUE"},
      {"0x03", "A,L", "=T", "\"=T\" is not NAME=VALUE"},
      {"0x30", "A,I", "A=2147483648", "A: \"2147483648\" is not a whole number"},
      {"0x30", "A,I", "A=1.5", "A: \"1.5\" is not a whole number"},
      {"0x30", "A,B", "A=inf", "A: \"inf\" is not a number"},
      {"0x30", "A,Y", "A=1.23456", "A: \"1.23456\" has more decimals than the field's 4"},
      {"0x30", "A,Y", "A=922337203685477.5808", "is too large for a currency field"},
      {"0x30", "A,T", "A=2021-03-04T25:00", "A: \"2021-03-04T25:00\" is not a date-time"},
      {"0x03", "A,C,5", "a=x A=y", "field A is given twice"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.assignment);
    OneField table(c.version, c.field);
    std::vector<std::string> arguments = {"append", table.table};
    std::string assignments = c.assignment;
    for (std::size_t blank; (blank = assignments.find(' ')) != std::string::npos;) {
      arguments.push_back(assignments.substr(0, blank));
      assignments.erase(0, blank + 1);
    }
    arguments.push_back(assignments);
    const auto outcome = Xbtool(arguments);
    EXPECT_EQ(outcome.code, 2);
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(table.Export().size(), 0u);
  }
}

TEST(FieldValues, FieldNamesAreTypedAsTheToolShowsThem) {
  OneField table("0x03", "AB,C,3");
  {  // Other programs store names with letters of the code page: 0x8E is "Ä" in code page 437.
    std::fstream file(table.table, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(32);
    file.put(static_cast<char>(0x8E));
  }
  XbtoolOk({"append", table.table, "ÄB=x"});
  XbtoolOk({"set", table.table, "1", "ÄB=y"});
  EXPECT_EQ(table.Export()[0]["ÄB"], "y");
}

TEST(FieldValues, ARefusedValueWritesNoMemo) {
  TempFolder folder;
  const std::string table = (folder.path() / "T.DBF").string();
  XbtoolOk({"create", table, "--version", "0xF5", "--field", "NOTE,M", "--field", "NUM,N,5"});
  const auto memoSize = std::filesystem::file_size(folder.path() / "T.FPT");
  EXPECT_EQ(Xbtool({"append", table, "NOTE=some text", "NUM=bad"}).code, 2);
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "T.FPT"), memoSize);
}

TEST(FieldValues, AnEmptyValueRemovesAMemo) {
  OneField table("0x83", "A,M");
  XbtoolOk({"append", table.table, "A=text"});
  XbtoolOk({"set", table.table, "1", "A="});
  EXPECT_TRUE(table.Export()[0]["A"].is_null());
}

TEST(DecimalLiteral, MakesJsonNumbersOfPlainDecimals) {
  const struct {
    const char* text;
    const char* literal;
  } cases[] = {{"007.50", "7.50"}, {".5", "0.5"},  {"5.", "5"},        {"-.5", "-0.5"},
               {"+3", "3"},        {"0", "0"},     {"-0.00", "-0.00"}, {"1e5", nullptr},
               {"", nullptr},      {".", nullptr}, {"1.2.3", nullptr}, {"--1", nullptr},
               {"1 2", nullptr},   {"-", nullptr}};
  for (const auto& c : cases) {
    const auto literal = DecimalLiteral(c.text);
    if (c.literal) {
      EXPECT_EQ(literal, c.literal) << c.text;
    } else {
      EXPECT_FALSE(literal.has_value()) << c.text;
    }
  }
}

TEST(CurrencyText, FourExactDecimalsForEveryValue) {
  EXPECT_EQ(CurrencyText(0), "0.0000");
  EXPECT_EQ(CurrencyText(-1), "-0.0001");
  EXPECT_EQ(CurrencyText(123456), "12.3456");
  EXPECT_EQ(CurrencyText(std::numeric_limits<std::int64_t>::max()), "922337203685477.5807");
  EXPECT_EQ(CurrencyText(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808");
}

}  // namespace
}  // namespace tools::xbtool
