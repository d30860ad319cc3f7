// Tables and memo files that xbtool writes read the same in independent readers: Debian's
// python3-dbfread and python3-dbf, and libdbd-xbase-perl's XBase module (the only one of them
// that reads .DBT files with block headers). Encrypted tables are first decoded by a few-line
// decoder of the published transform (readers/decode_table.py). Known reader limitations
// (tests/fixtures/peers/README.md) shape the content: no 0x1A inside memo texts and no
// 511-byte text in a first-kind .DBT file; python3-dbf reads currency through a double, so
// currency values keep to 15 digits.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool::testing {
namespace {

using nlohmann::json;

constexpr const char* kProductKey = "q3#Lm9!";

// ASCII text of exactly `length` bytes, in lines.
std::string MemoText(std::size_t length, int seed) {
  std::string text;
  for (int line = 1; text.size() < length; ++line) {
    text += "Line " + std::to_string(line) + " of memo " + std::to_string(seed) +
            ": the quick brown fox jumps over the lazy dog.\r\n";
  }
  text.resize(length);
  return text;
}

struct TableCase {
  std::string name;
  std::string version;
  std::string memoBlock;  // empty: the default
  std::vector<std::string> readers;
  bool memo = false;
  bool binaryTypes = false;
  std::vector<std::size_t> memoLengths;  // one record each, beside the fixed records
};

void PrintTo(const TableCase& table, std::ostream* out) {
  *out << table.name;
}

std::vector<std::string> FieldDefinitions(const TableCase& table) {
  std::vector<std::string> definitions = {"NAME,C,20",    "CITY,C,254", "NUM,N,10,2", "CNT,N,6",
                                          "RATIO,F,12,4", "BORN,D",     "OK,L"};
  if (table.memo) definitions.push_back("NOTE,M");
  if (table.binaryTypes) {
    for (const char* field : {"QTY,I", "DBL,B", "CUR,Y", "STAMP,T"})
      definitions.push_back(field);
  }
  return definitions;
}

// The records, as the values export writes and the readers are compared with; "_deleted"
// marks the records deleted after appending.
json Records(const TableCase& table) {
  json records = json::array();
  records.push_back({{"NAME", "Alpha"},
                     {"CITY", "Springfield"},
                     {"NUM", 12.5},
                     {"CNT", 42},
                     {"RATIO", 1.25},
                     {"BORN", "1999-01-31"},
                     {"OK", true}});
  records.push_back({{"NAME", "Grüße aus Köln"},
                     {"CITY", std::string(254, 'w')},
                     {"NUM", -1234.56},
                     {"CNT", -7},
                     {"RATIO", -0.0001},
                     {"BORN", "2024-02-29"},
                     {"OK", false}});
  records.push_back({{"NAME", "╔═╗ box ║ ½ ñ"},
                     {"CITY", ""},
                     {"NUM", nullptr},
                     {"CNT", 0},
                     {"RATIO", nullptr},
                     {"BORN", nullptr},
                     {"OK", true},
                     {"_deleted", true}});
  records.push_back({{"NAME", "Last, \"quoted\""},
                     {"CITY", "a\tb"},
                     {"NUM", 9999999.99},
                     {"CNT", 999999},
                     {"RATIO", 1234567.1234},
                     {"BORN", "1900-01-01"},
                     {"OK", false}});
  if (table.memo) {
    records[0]["NOTE"] = "short note";
    records[1]["NOTE"] = "Grüße, ½ ╬ - multi\nline";
    records[2]["NOTE"] = nullptr;
    records[3]["NOTE"] = MemoText(700, 3);
    int seed = 10;
    for (std::size_t length : table.memoLengths) {
      records.push_back({{"NAME", "memo " + std::to_string(length)},
                         {"CITY", ""},
                         {"NUM", 1},
                         {"CNT", 1},
                         {"RATIO", 1},
                         {"BORN", "2000-01-01"},
                         {"OK", true},
                         {"NOTE", MemoText(length, seed++)}});
    }
  }
  if (table.binaryTypes) {
    const json binary[] = {{{"QTY", 2147483647},
                            {"DBL", 3.5},
                            {"CUR", "12345678901.2345"},
                            {"STAMP", "2021-03-04T05:06:07.123"}},
                           {{"QTY", -2147483648},
                            {"DBL", -2.25},
                            {"CUR", "-12.3456"},
                            {"STAMP", "1970-01-01T23:59:59.999"}},
                           {{"QTY", 0}, {"DBL", 1e300}, {"CUR", "0.0000"}, {"STAMP", nullptr}},
                           {{"QTY", -1},
                            {"DBL", 0.1},
                            {"CUR", "-98765432109.8765"},
                            {"STAMP", "2000-02-29T00:00:00.000"}}};
    for (std::size_t i = 0; i < records.size(); ++i)
      records[i].update(binary[i % 4]);
  }
  return records;
}

// A value as append takes it.
std::string ArgumentText(const json& value) {
  if (value.is_null()) return "";
  if (value.is_string()) return value.get<std::string>();
  if (value.is_boolean()) return value.get<bool>() ? "T" : "F";
  return value.dump();
}

std::vector<std::string> Assignments(const json& record) {
  std::vector<std::string> arguments;
  for (const auto& [name, value] : record.items()) {
    if (name != "_deleted") arguments.push_back(name + "=" + ArgumentText(value));
  }
  return arguments;
}

// Readers give a record without memo as null or as an empty text.
void ExpectSameValue(const std::string& field, const json& expected, const json& actual) {
  SCOPED_TRACE(field + ": expected " + expected.dump() + ", read " + actual.dump());
  if (field == "NOTE") {
    EXPECT_EQ(expected.is_null() ? "" : expected.get<std::string>(),
              actual.is_null() ? "" : actual.get<std::string>());
  } else if (expected.is_number() && actual.is_number()) {
    const double want = expected.get<double>();
    EXPECT_NEAR(actual.get<double>(), want, 1e-9 * std::max(1.0, std::fabs(want)));
  } else {
    EXPECT_EQ(actual, expected);
  }
}

void ExpectSameRecords(const json& expected, const json& actual) {
  ASSERT_EQ(actual.size(), expected.size()) << actual.dump();
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i + 1) + " of its kind");
    for (const auto& [name, value] : expected[i].items()) {
      if (name == "_deleted") continue;
      ASSERT_TRUE(actual[i].contains(name)) << name;
      ExpectSameValue(name, value, actual[i][name]);
    }
  }
}

class PeerReaders : public ::testing::TestWithParam<std::tuple<TableCase, bool>> {
 protected:
  const TableCase& table() const { return std::get<0>(GetParam()); }
  bool encrypted() const { return std::get<1>(GetParam()); }

  std::vector<std::string> WithKey(std::vector<std::string> arguments) const {
    if (encrypted()) {
      arguments.push_back("--key");
      arguments.push_back(kProductKey);
    }
    return arguments;
  }

  std::string MemoExtension() const {
    return table().version == "0x83" || table().version == "0x8B" ? ".DBT" : ".FPT";
  }

  // Creates the table with xbtool, appends the records, rewrites two memos (one longer, one
  // shorter), appends one more record (which a free chain lets reuse freed blocks) and
  // deletes the marked records. Returns the records as they end up.
  json WriteTable() {
    std::vector<std::string> create = {"create", tablePath, "--version", table().version};
    for (const std::string& field : FieldDefinitions(table())) {
      create.push_back("--field");
      create.push_back(field);
    }
    if (!table().memoBlock.empty()) {
      create.push_back("--memo-block");
      create.push_back(table().memoBlock);
    }
    XbtoolOk(WithKey(create));
    json records = Records(table());
    for (const json& record : records) {
      std::vector<std::string> append = {"append", tablePath};
      for (const std::string& assignment : Assignments(record))
        append.push_back(assignment);
      XbtoolOk(WithKey(append));
    }
    if (table().memo) {
      records[0]["NOTE"] = MemoText(1500, 1);
      records[3]["NOTE"] = "now short";
      XbtoolOk(WithKey({"set", tablePath, "1", "NOTE=" + MemoText(1500, 1)}));
      XbtoolOk(WithKey({"set", tablePath, "4", "NOTE=now short"}));
      json last = records[0];
      last["NAME"] = "after rewrite";
      last["NOTE"] = MemoText(20, 99);
      records.push_back(last);
      std::vector<std::string> append = {"append", tablePath};
      for (const std::string& assignment : Assignments(last))
        append.push_back(assignment);
      XbtoolOk(WithKey(append));
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].value("_deleted", false))
        XbtoolOk(WithKey({"delete", tablePath, std::to_string(i + 1)}));
    }
    return records;
  }

  // The plain table the readers get: the table itself, or its decoded copy.
  std::string ReadableTable() {
    if (!encrypted()) return tablePath;
    const std::string memo = table().memo ? base + MemoExtension() : "-";
    const std::string plainBase = (folder.path() / "PLAIN").string();
    const std::string plainMemo = table().memo ? plainBase + MemoExtension() : "-";
    int status = -1;
    RunProgram({"/usr/bin/python3", ReaderScript("decode_table.py"), tablePath, memo, kProductKey,
                plainBase + ".DBF", plainMemo},
               status);
    EXPECT_EQ(status, 0);
    return plainBase + ".DBF";
  }

  json Read(const std::string& reader, const std::string& path) {
    const std::vector<std::string> command =
        reader == "xbase"
            ? std::vector<std::string>{"/usr/bin/perl", ReaderScript("read_xbase.pl"), path,
                                       "cp437"}
            : std::vector<std::string>{"/usr/bin/python3", ReaderScript("read_" + reader + ".py"),
                                       path, "cp437"};
    int status = -1;
    const std::string output = RunProgram(command, status);
    EXPECT_EQ(status, 0) << reader << " could not read " << path;
    return status == 0 ? json::parse(output) : json();
  }

  TempFolder folder;
  std::string base = (folder.path() / "T").string();
  std::string tablePath = base + ".DBF";
};

TEST_P(PeerReaders, ReadTheSameRecords) {
  const json records = WriteTable();
  json live = json::array(), deleted = json::array();
  for (const json& record : records)
    (record.value("_deleted", false) ? deleted : live).push_back(record);

  if (encrypted()) {
    const std::string bytes =
        ReadFile(tablePath) + (table().memo ? ReadFile(base + MemoExtension()) : "");
    for (const char* plain : {"Alpha", "Springfield", "short note", "quick brown fox"})
      EXPECT_EQ(bytes.find(plain), std::string::npos) << plain << " is stored in clear";
  }
  const std::string readable = ReadableTable();
  for (const std::string& reader : table().readers) {
    SCOPED_TRACE(reader);
    const json read = Read(reader, readable);
    if (read.is_null()) continue;
    ExpectSameRecords(live, read["live"]);
    ExpectSameRecords(deleted, read["deleted"]);
  }
}

const TableCase kTables[] = {
    {"plain", "0x03", "", {"dbfread", "pydbf", "xbase"}, false, false, {}},
    {"visual_without_memo", "0x30", "", {"dbfread", "pydbf"}, false, true, {}},
    {"visual_with_memo", "0x30", "", {"dbfread", "pydbf"}, true, true, {1, 55, 56, 57, 120, 3000}},
    {"dbt_first_kind",
     "0x83",
     "",
     {"dbfread", "pydbf", "xbase"},
     true,
     false,
     {1, 509, 510, 512, 513, 1022, 2000}},
    {"dbt_block_headers", "0x8B", "", {"xbase"}, true, false, {1, 503, 504, 505, 512, 513, 2000}},
    {"dbt_block_headers_1024", "0x8B", "1024", {"xbase"}, true, false, {1, 1015, 1016, 1017, 3000}},
    {"fpt", "0xF5", "", {"dbfread", "pydbf", "xbase"}, true, false, {1, 55, 56, 57, 64, 3000}},
    {"fpt_512", "0xF5", "512", {"dbfread", "pydbf", "xbase"}, true, false, {1, 504, 505, 2000}},
};

INSTANTIATE_TEST_SUITE_P(Tables, PeerReaders,
                         ::testing::Combine(::testing::ValuesIn(kTables), ::testing::Bool()),
                         [](const auto& info) {
                           return std::get<0>(info.param).name +
                                  (std::get<1>(info.param) ? "_encrypted" : "_plain");
                         });

}  // namespace
}  // namespace tools::xbtool::testing
