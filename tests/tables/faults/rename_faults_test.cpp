// Renaming a table with its memo file through every failure point of the disk: afterwards the
// table and its memo file answer to the same name, the old one or the new one, with every
// record and memo.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/faults/fault_sweep.hpp"

namespace tables {
namespace {

using testing::FaultRun;
using testing::FaultSweep;

const std::string kOldName = "C:\\DATA\\OLD.DBF";
const std::string kNewName = "C:\\DATA\\NEW.DBF";

struct RenameCase {
  const char* name;
  std::uint8_t version;
  bool shared;
};

void PrintTo(const RenameCase& renameCase, std::ostream* out) {
  *out << renameCase.name;
}

class RenameFaults : public ::testing::TestWithParam<RenameCase> {
 protected:
  void SetUp() override {
    CreateTable(kOldName, GetParam().version, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
    XBO_dBaseFld table(kOldName, false, true, "");
    for (int n = 1; n <= 2; ++n) {
      table.BlankRecord();
      table.SetFieldText("NAME", "ROW " + std::to_string(n));
      table.SetMemoText("NOTE", std::string(600, static_cast<char>('a' + n)));
      table.AppendRecord();
    }
    table.Close();
    sweep.Keep();
  }

  bool Exists(const std::string& path) { return sweep.storage().machine().files().Exists(path); }

  void ExpectTableAt(const std::string& path, const FaultRun& run) {
    XBO_dBaseFld table(path, false, false, "");
    ASSERT_EQ(table.recordCount(), 2) << run.Describe();
    for (int n = 1; n <= 2; ++n) {
      table.ReadRecord(n);
      EXPECT_EQ(table.GetFieldDisplay("NAME"), "ROW " + std::to_string(n)) << run.Describe();
      EXPECT_EQ(table.GetMemoText("NOTE"), std::string(600, static_cast<char>('a' + n)))
          << run.Describe();
    }
  }

  FaultSweep sweep;
};

TEST_P(RenameFaults, TableAndMemoKeepOneName) {
  sweep.Run(
      [&] {
        XBO_dBaseFld table(kOldName, GetParam().shared, true, "");
        table.Rename(kNewName);
        table.Close();
      },
      [&](const FaultRun& run) {
        const std::string memo = GetParam().version == 0xF5 ? "FPT" : "DBT";
        const bool renamed = Exists(kNewName);
        EXPECT_NE(renamed, Exists(kOldName)) << run.Describe();
        EXPECT_EQ(Exists("C:\\DATA\\NEW." + memo), renamed) << run.Describe();
        EXPECT_EQ(Exists("C:\\DATA\\OLD." + memo), !renamed) << run.Describe();
        EXPECT_TRUE(renamed || run.raised) << run.Describe();
        ExpectTableAt(renamed ? kNewName : kOldName, run);
      });
}

INSTANTIATE_TEST_SUITE_P(Tables, RenameFaults,
                         ::testing::Values(RenameCase{"DBaseIIIExclusive", 0x83, false},
                                           RenameCase{"DBaseIVShared", 0x8B, true},
                                           RenameCase{"FoxExclusive", 0xF5, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tables
