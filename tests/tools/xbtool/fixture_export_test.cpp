// export --json of the tables other xBase programs wrote (tests/fixtures/peers) gives what
// their expected JSON says, up to the conventions that differ on purpose: texts without
// trailing blanks, L false and blank N and F 0 for the writers' null, memo null for no memo where
// writers give an empty text, date-times to the millisecond, blank date-times as day 2415019, memo
// texts of first-kind .DBT files ending at their first 0x1A, no memo texts in version 0x30 tables
// without the memo flag, and _NullFlags not interpreted.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::TempFolder;
using testing::XbtoolOk;

std::vector<std::string> TableFixtures() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(KORVANE_FIXTURES_DIR)) {
    if (entry.path().extension() == ".dbf") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string TrimRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

class FixtureExport : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    std::ifstream in(std::filesystem::path(KORVANE_FIXTURES_DIR) / (GetParam() + ".expected.json"));
    expected = json::parse(in);
    for (const auto& field : expected["fields"])
      types[field["name"].get<std::string>()] = field["type"].get<std::string>()[0];
    const json& header = expected["header"];
    version = header["version_byte"].get<int>();
    firstKindMemo = version == 0x83;
    // A version 0x30 table without the memo flag has no memo file, whatever lies beside it.
    memoFile = version != 0x30 || (header.value("table_flags_byte28", 0) & 0x02) != 0;
    const json codePage = header.value("codepage", json());
    codePageOption = codePage == "cp437" ? "437" : "1252";
  }

  // The table as xbtool exports it, from a copy of the fixture files.
  json Export() {
    const auto copy = [&](const std::string& name) {
      std::filesystem::copy_file(std::filesystem::path(KORVANE_FIXTURES_DIR) / name,
                                 folder.path() / name);
    };
    copy(GetParam() + ".dbf");
    if (expected.contains("memo")) copy(expected["memo"]["file"].get<std::string>());
    return json::parse(XbtoolOk({"export", (folder.path() / (GetParam() + ".dbf")).string(),
                                 "--json", "--codepage", codePageOption}));
  }

  void ExpectMemo(const json& want, const json& got) {
    std::string text = want.is_null() || !memoFile ? "" : want.get<std::string>();
    if (firstKindMemo) text = text.substr(0, text.find('\x1A'));
    EXPECT_EQ(got.is_null() ? "" : got.get<std::string>(), text);
  }

  void ExpectValue(char type, const json& want, const json& got) {
    switch (type) {
      case 'C':
        EXPECT_EQ(got, TrimRight(want.is_null() ? "" : want.get<std::string>()));
        break;
      case 'L':
        EXPECT_EQ(got, want.is_boolean() && want.get<bool>());
        break;
      case 'Y':
        EXPECT_NEAR(std::stod(got.get<std::string>()),
                    want.is_null() ? 0.0 : std::stod(want.get<std::string>()), 1e-9);
        EXPECT_EQ(got.get<std::string>().size() - got.get<std::string>().find('.'), 5u);
        break;
      case 'T':
        if (want.is_null()) {
          EXPECT_TRUE(got.is_null() || got == "1899-12-30T00:00:00.000") << got;
        } else {
          const std::string iso = want.get<std::string>();
          const double fraction = iso.size() > 19 ? std::stod("0" + iso.substr(19)) : 0.0;
          char milliseconds[8];
          std::snprintf(milliseconds, sizeof milliseconds, ".%03d",
                        static_cast<int>(std::lround(fraction * 1000)));
          EXPECT_EQ(got, iso.substr(0, 19) + milliseconds);
        }
        break;
      case 'M':
      case 'G':
        ExpectMemo(want, got);
        break;
      case 'B':
        if (version == 0x30) {
          EXPECT_DOUBLE_EQ(got.get<double>(), want.get<double>());
        } else {
          ExpectMemo(want, got);
        }
        break;
      case 'N':
      case 'F':
        // The writers' null is a blank field, which holds 0, or a field of "*", no number.
        if (want.is_null()) {
          EXPECT_TRUE(got.is_null() || (got.is_number() && got.get<double>() == 0.0)) << got;
          break;
        }
        [[fallthrough]];
      default:  // N, F, I, D
        if (want.is_number() && got.is_number()) {
          EXPECT_NEAR(got.get<double>(), want.get<double>(),
                      1e-9 * std::max(1.0, std::fabs(want.get<double>())));
        } else {
          EXPECT_EQ(got, want);
        }
    }
  }

  TempFolder folder;
  json expected;
  std::map<std::string, char> types;
  int version = 0;
  bool firstKindMemo = false;
  bool memoFile = true;
  std::string codePageOption;
};

TEST_P(FixtureExport, MatchesTheExpectedContent) {
  const json exported = Export();
  const json& records = expected["records"];
  ASSERT_EQ(exported.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const json& want = records[i];
    const json& got = exported[i];
    SCOPED_TRACE("record " + std::to_string(want["recno"].get<int>()));
    EXPECT_EQ(got["_recno"], want["recno"]);
    EXPECT_EQ(got["_deleted"], want["deleted"]);
    const json nulls = want.value("null_fields", json::array());
    for (const auto& [name, value] : want["values"].items()) {
      if (std::find(nulls.begin(), nulls.end(), name) != nulls.end()) continue;
      SCOPED_TRACE(name + ": expected " + value.dump() + ", exported " + got[name].dump());
      ASSERT_TRUE(got.contains(name));
      ExpectValue(types.at(name), value, got[name]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, FixtureExport, ::testing::ValuesIn(TableFixtures()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace tools::xbtool
