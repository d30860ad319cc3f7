// The engine alone on Linux: host paths, which the engine upper-cases like Windows names, still
// reach the files of a lower-case folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/native/native_machine.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"

namespace tables {
namespace {

class NativeMachineTest : public ::testing::Test {
 protected:
  platform::testing::TempFolder temp;
  const std::filesystem::path& folder = temp.path();
  platform::NativeMachine machine;
  platform::ScopedMachine installed{machine};
  XbEngineScope engine;
};

TEST_F(NativeMachineTest, TablesAndMemosInHostFolders) {
  const std::string table = (folder / "people").string();
  CreateTable(table, 0xF5, {{"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}});
  {
    XBO_dBaseFld people(table, true, true, "");
    people.BlankRecord();
    people.SetFieldText("NAME", "Ann");
    people.SetMemoText("NOTE", "a note");
    people.AppendRecord();
  }
  XBO_dBaseFld people(table + ".dbf", true, false, "");
  ASSERT_EQ(people.recordCount(), 1);
  people.ReadRecord(1);
  EXPECT_EQ(people.GetFieldDisplay("NAME"), "Ann");
  EXPECT_EQ(people.GetMemoText("NOTE"), "a note");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
    ++files;
  EXPECT_EQ(files, 2u);
}

}  // namespace
}  // namespace tables
