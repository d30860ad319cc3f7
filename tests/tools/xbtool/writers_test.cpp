#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "tools/xbtool/csv_writer.hpp"
#include "tools/xbtool/json_writer.hpp"

namespace tools::xbtool {
namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsTheRest) {
  const struct {
    std::string text;
    const char* literal;
  } cases[] = {
      {"plain", "\"plain\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\DATA", "\"C:\\\\DATA\""},
      {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
      {"\x1a\x1f", "\"\\u001a\\u001f\""},
      {"Grüße ╔", "\"Grüße ╔\""},
      {"", "\"\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonString(c.text), c.literal);
    EXPECT_EQ(nlohmann::json::parse(JsonString(c.text)).get<std::string>(), c.text);
  }
}

TEST(JsonWriter, PutsArrayElementsOnTheirOwnLines) {
  std::ostringstream out;
  JsonWriter json(out);
  json.BeginArray();
  for (int i = 1; i <= 2; ++i) {
    json.BeginObject();
    json.Key("n");
    json.Number(std::to_string(i));
    json.Key("ok");
    json.Boolean(i == 1);
    json.Key("none");
    json.Null();
    json.Key("list");
    json.BeginArray();
    json.String("x");
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
  EXPECT_EQ(out.str(),
            "[\n{\"n\":1,\"ok\":true,\"none\":null,\"list\":[\n\"x\"\n]},\n"
            "{\"n\":2,\"ok\":false,\"none\":null,\"list\":[\n\"x\"\n]}\n]\n");
  EXPECT_EQ(nlohmann::json::parse(out.str())[1]["n"], 2);
}

TEST(JsonWriter, EmptyArray) {
  std::ostringstream out;
  JsonWriter json(out);
  json.BeginArray();
  json.EndArray();
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
