#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/xbtool/csv_writer.hpp"
#include "tools/xbtool/json_output.hpp"

namespace tools::xbtool {
namespace {

TEST(JsonText, EscapesWhatJsonRequiresAndKeepsTheRest) {
  const struct {
    std::string text;
    const char* literal;
  } cases[] = {
      {"plain", "\"plain\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\DATA", "\"C:\\\\DATA\""},
      {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {"\b\f", "\"\\b\\f\""},
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
      {"\x1a\x1f\x7f", "\"\\u001a\\u001f\x7f\""},
      {"Grüße ╔", "\"Grüße ╔\""},
      {"", "\"\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonText(c.text), c.literal);
    EXPECT_EQ(nlohmann::json::parse(JsonText(c.text)).get<std::string>(), c.text);
  }
}

TEST(JsonText, ReplacesEachByteThatIsNotUtf8) {
  const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
  EXPECT_EQ(JsonText("Gr\x81\xE1"
                     "e"),
            "\"Gr" + replacement + replacement + "e\"");
  EXPECT_EQ(JsonText("cut \xC3"), "\"cut " + replacement + "\"");
  JsonObjectLine line;
  line.Add("N\xFF", "\xFF");
  EXPECT_EQ(line.Text(), "{\"N" + replacement + "\":\"" + replacement + "\"}");
}

TEST(JsonObjectLine, KeepsMemberOrderDuplicatesAndNumberTexts) {
  JsonObjectLine line;
  line.Add("z", 1)
      .Add("a", true)
      .Add("none", nullptr)
      .AddNumber("price", "1.50")
      .AddNumber("big", "1234567890123.4567")
      .Add("a", "again");
  EXPECT_EQ(line.Text(),
            "{\"z\":1,\"a\":true,\"none\":null,\"price\":1.50,\"big\":1234567890123.4567,"
            "\"a\":\"again\"}");
  EXPECT_EQ(nlohmann::json::parse(line.Text())["price"], 1.5);
  EXPECT_EQ(JsonObjectLine().Text(), "{}");
}

TEST(JsonArrayLines, PutsEachElementOnALineOfItsOwn) {
  std::ostringstream out;
  JsonArrayLines array(out);
  array.Element(JsonObjectLine().Add("n", 1).Text());
  array.Element(JsonObjectLine().Add("n", 2).Text());
  array.End();
  EXPECT_EQ(out.str(), "[\n{\"n\":1},\n{\"n\":2}\n]\n");
  EXPECT_EQ(nlohmann::json::parse(out.str())[1]["n"], 2);
}

TEST(JsonArrayLines, EmptyArray) {
  std::ostringstream out;
  JsonArrayLines array(out);
  array.End();
  EXPECT_EQ(out.str(), "[]\n");
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"plain text", "plain text"},     {"a,b", "\"a,b\""},   {"say \"x\"", "\"say \"\"x\"\"\""},
      {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""}, {"", ""},
      {" padded ", " padded "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CsvField(c.text), c.field) << c.text;
}

TEST(CsvWriter, EndsRowsWithCrLf) {
  std::ostringstream out;
  CsvWriter csv(out);
  csv.Row({"a", "b,c", ""});
  csv.Row({"1"});
  EXPECT_EQ(out.str(), "a,\"b,c\",\r\n1\r\n");
}

}  // namespace
}  // namespace tools::xbtool
