// Every table the other xBase programs wrote (tests/fixtures/peers) opens read-only and reads
// back as its expected JSON says, except where this engine's reading rules differ from the
// writer's on purpose (see PeerValue below).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/code_pages.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using nlohmann::json;

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr std::int32_t kTimeEpochDay = 1721425;
constexpr std::size_t kLongestDBaseIIIText = 65519;

std::vector<std::string> TableFixtures() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(KORVANE_FIXTURES_DIR)) {
    const std::string file = entry.path().filename().string();
    if (entry.path().extension() == ".dbf") names.push_back(file.substr(0, file.size() - 4));
  }
  std::sort(names.begin(), names.end());
  return names;
}

json Expected(const std::string& fixture) {
  std::ifstream in(std::filesystem::path(KORVANE_FIXTURES_DIR) / (fixture + ".expected.json"));
  return json::parse(in);
}

std::uint32_t CodePageOf(const json& header) {
  const std::string name = header.value("codepage", json()).is_string()
                               ? header["codepage"].get<std::string>()
                               : std::string("ascii");
  return name == "cp437" ? 437 : 1252;  // ascii and latin-1 texts read alike in 1252
}

std::string TrimRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::int32_t JulianOf(const std::string& isoDate) {
  return TxbDBFDate::FromCalendar(std::stoi(isoDate.substr(0, 4)), std::stoi(isoDate.substr(5, 2)),
                                  std::stoi(isoDate.substr(8, 2)))
      .value_or(-1);
}

// "YYYY-MM-DDTHH:MM:SS[.ffffff]" as the T field's milliseconds since Julian day 1721425.
double TimeValueOf(const std::string& iso) {
  const double milliseconds =
      ((std::stoi(iso.substr(11, 2)) * 60.0 + std::stoi(iso.substr(14, 2))) * 60.0 +
       std::stoi(iso.substr(17, 2))) *
          1000.0 +
      (iso.size() > 20 ? std::round(std::stod("0" + iso.substr(19)) * 1000) : 0);
  return (JulianOf(iso) - static_cast<double>(kTimeEpochDay)) * kMillisecondsPerDay + milliseconds;
}

class PeerFixture : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    expected = Expected(GetParam());
    machine.CopyFixture(GetParam() + ".dbf");
    if (expected.contains("memo")) machine.CopyFixture(expected["memo"]["file"].get<std::string>());
    table = std::make_unique<XBO_dBaseFld>(testing::StorageTestMachine::Path(GetParam() + ".dbf"),
                                           false, false, "");
    codePage = CodePageOf(expected["header"]);
  }

  std::string Text(std::string_view raw) { return platform::CodePageToUtf8(codePage, raw); }

  // The memo text this engine reads where the writer's reading differs: a version 0x30 table
  // without the memo flag has no memo file, and an unencrypted first-kind DBT text ends at its
  // first 0x1A and after 65519 bytes.
  std::string ExpectedMemo(const json& value) {
    if (!table->hasMemo() || value.is_null()) return "";
    std::string text = value.get<std::string>();
    if (table->memoKind() == XbMemoKind::DBase3) {
      text = text.substr(0, text.find('\x1A'));
      if (text.size() > kLongestDBaseIIIText) text.resize(kLongestDBaseIIIText);
    }
    return text;
  }

  // Blank T fields: four blanks are day 2415019; binary zeros are day 0.
  double BlankTimeValue(const XbFieldDesc& field) {
    const std::string raw = table->GetFieldText(field.number);
    if (raw == std::string(8, ' ')) return (2415019.0 - kTimeEpochDay) * kMillisecondsPerDay;
    EXPECT_EQ(raw, std::string(8, '\0')) << field.name;
    return -kTimeEpochDay * kMillisecondsPerDay;
  }

  // A number field filled with "*", which some writers store for a null: no number to this
  // engine, so reading it is a conversion error.
  static bool IsOverflowMark(const std::string& text) {
    return text.find_first_not_of('*') == std::string::npos;
  }

  // Peers' nulls read as this engine reads blanks: N, F and Y as 0, D as the empty date, L as
  // false, C as blanks; memo fields as no memo.
  void CheckValue(const XbFieldDesc& field, const json& value) {
    SCOPED_TRACE(field.name);
    const int n = field.number;
    switch (field.type) {
      case 'C':
        EXPECT_EQ(TrimRight(Text(table->GetFieldText(n))),
                  TrimRight(value.is_null() ? "" : value.get<std::string>()));
        break;
      case 'N':
      case 'F':
        if (value.is_null() && IsOverflowMark(table->GetFieldText(n))) {
          EXPECT_THROW(table->GetFieldNumber(n), EXbaseError);
          break;
        }
        [[fallthrough]];
      case 'I':
      case 'B': {
        const double number = value.is_null() ? 0.0 : value.get<double>();
        EXPECT_NEAR(table->GetFieldNumber(n), number, 1e-9 * std::max(1.0, std::fabs(number)));
        break;
      }
      case 'Y':
        EXPECT_NEAR(table->GetFieldNumber(n),
                    value.is_null() ? 0.0 : std::stod(value.get<std::string>()), 1e-9);
        break;
      case 'D':
        EXPECT_EQ(table->GetFieldDate(n), value.is_null() ? 0 : JulianOf(value.get<std::string>()));
        break;
      case 'L':
        EXPECT_EQ(table->GetFieldLogical(n), value.is_boolean() && value.get<bool>());
        break;
      case 'T':
        EXPECT_DOUBLE_EQ(table->GetFieldNumber(n), value.is_null()
                                                       ? BlankTimeValue(field)
                                                       : TimeValueOf(value.get<std::string>()));
        break;
      case 'M':
      case 'G':
        EXPECT_EQ(Text(table->GetMemoText(n)), ExpectedMemo(value));
        break;
      default:
        ADD_FAILURE() << "unexpected field type " << field.type;
    }
  }

  testing::StorageTestMachine machine;
  json expected;
  std::unique_ptr<XBO_dBaseFld> table;
  std::uint32_t codePage = 1252;
};

TEST_P(PeerFixture, HeaderFacts) {
  const json& header = expected["header"];
  EXPECT_EQ(table->version(), header["version_byte"].get<int>());
  EXPECT_EQ(table->recordCount(), header["record_count"].get<int>());
  EXPECT_EQ(table->headerLength(), header["header_length"].get<std::uint32_t>());
  EXPECT_EQ(table->recordLength(), header["record_length"].get<std::uint32_t>());
  if (header.contains("last_update_bytes")) {
    const json& date = header["last_update_bytes"];
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(table->headerBlock()[1 + i], date[i].get<int>());
  }
  if (header.contains("table_flags_byte28")) {
    EXPECT_EQ(table->tableFlags(), header["table_flags_byte28"].get<int>() & 0x07);
  }
}

TEST_P(PeerFixture, FieldList) {
  const json& fields = expected["fields"];
  ASSERT_EQ(table->FieldCount(), static_cast<int>(fields.size()));
  for (int n = 1; n <= table->FieldCount(); ++n) {
    const json& field = fields[static_cast<std::size_t>(n - 1)];
    EXPECT_EQ(table->FieldName(n), field["name"].get<std::string>());
    EXPECT_EQ(std::string(1, table->FieldType(n)), field["type"].get<std::string>());
    EXPECT_EQ(table->FieldLength(n), field["length"].get<int>());
    EXPECT_EQ(table->FieldDecimals(n), field["decimals"].get<int>());
    if (field.contains("offset")) {
      EXPECT_EQ(table->FieldOffset(n), field["offset"].get<int>());
    }
  }
}

TEST_P(PeerFixture, EveryRecordAndValue) {
  for (const json& record : expected["records"]) {
    const int recno = record["recno"].get<int>();
    SCOPED_TRACE("record " + std::to_string(recno));
    table->ReadRecord(recno);
    EXPECT_EQ(table->RecordDeleted(), record["deleted"].get<bool>());
    for (const auto& [name, value] : record["values"].items()) {
      CheckValue(table->FieldDescByName(name), value);
    }
    if (record.contains("memo_blocks")) {
      for (const auto& [name, block] : record["memo_blocks"].items()) {
        EXPECT_EQ(table->MemoBlock(table->FieldNumberOf(name)), block.get<std::uint32_t>()) << name;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, PeerFixture, ::testing::ValuesIn(TableFixtures()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace tables
