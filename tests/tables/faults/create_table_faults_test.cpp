// Creating tables through every failure point of the disk: a creation that reports success
// leaves a table that opens empty with a working memo file; one that fails leaves nothing
// behind, so that it can be tried again.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/faults/fault_sweep.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;

const std::string kTable = "C:\\DATA\\NEW.DBF";

struct CreateCase {
  const char* name;
  std::uint8_t version;
  const char* key;
  const char* memoFile;  // empty: none
};

void PrintTo(const CreateCase& createCase, std::ostream* out) {
  *out << createCase.name;
}

class CreateTableFaults : public ::testing::TestWithParam<CreateCase> {
 protected:
  std::vector<XbFieldDef> Fields() const {
    std::vector<XbFieldDef> fields = {{"NAME", 'C', 20, 0}, {"PRICE", 'N', 8, 2}};
    if (HasMemo()) fields.push_back({"NOTE", 'M', GetParam().version == 0x30 ? 4 : 10, 0});
    return fields;
  }
  bool HasMemo() const { return std::string(GetParam().memoFile).size() > 0; }
  void Create() { CreateTable(kTable, GetParam().version, Fields(), GetParam().key); }
  bool Exists(const std::string& path) { return sweep.storage().machine().files().Exists(path); }

  // The table opens empty, with its fields, and keeps a record (and its memo).
  void ExpectWorkingTable(const FaultRun& run) {
    XBO_dBaseFld table(kTable, false, true, GetParam().key);
    EXPECT_EQ(table.recordCount(), 0) << run.Describe();
    EXPECT_EQ(table.FieldCount(), static_cast<int>(Fields().size())) << run.Describe();
    table.BlankRecord();
    table.SetFieldText("NAME", "FIRST");
    if (HasMemo()) table.SetMemoText("NOTE", std::string(700, 'm'));
    table.AppendRecord();
    table.Close();
    XBO_dBaseFld reopened(kTable, false, false, GetParam().key);
    ASSERT_EQ(reopened.recordCount(), 1) << run.Describe();
    reopened.ReadRecord(1);
    EXPECT_EQ(reopened.GetFieldDisplay("NAME"), "FIRST") << run.Describe();
    if (HasMemo()) {
      EXPECT_EQ(reopened.GetMemoText("NOTE"), std::string(700, 'm')) << run.Describe();
    }
  }

  FaultSweep sweep;
};

TEST_P(CreateTableFaults, SucceedsWholeOrLeavesNothing) {
  const std::string memoPath = std::string("C:\\DATA\\NEW.") + GetParam().memoFile;
  sweep.Run([&] { Create(); },
            [&](const FaultRun& run) {
              if (!run.raised) {
                ExpectWorkingTable(run);
                return;
              }
              EXPECT_FALSE(Exists(kTable)) << run.Describe();
              if (HasMemo()) {
                EXPECT_FALSE(Exists(memoPath)) << run.Describe();
              }
              Create();
              ExpectWorkingTable(run);
            });
}

INSTANTIATE_TEST_SUITE_P(Versions, CreateTableFaults,
                         ::testing::Values(CreateCase{"Plain", 0x03, "", ""},
                                           CreateCase{"Visual", 0x30, "", "FPT"},
                                           CreateCase{"DBaseIII", 0x83, "", "DBT"},
                                           CreateCase{"DBaseIIIEncrypted", 0x83, "q3#Lm9!", "DBT"},
                                           CreateCase{"DBaseIV", 0x8B, "", "DBT"},
                                           CreateCase{"Fox", 0xF5, "", "FPT"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables
