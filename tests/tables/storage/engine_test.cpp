#include "tables/storage/engine.hpp"

#include <gtest/gtest.h>

#include "tables/storage/aliases.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/disk_file.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using testing::StorageTestMachine;

TEST(XbEngine, StartsAndShutdownsAreCounted) {
  StorageTestMachine machine;  // one start
  XbEngine::Start();
  XbEngine::Shutdown();
  EXPECT_TRUE(XbEngine::Running());
  XbEngine::Shutdown();
  EXPECT_FALSE(XbEngine::Running());
  XbEngine::Shutdown();  // one too many does nothing
  EXPECT_FALSE(XbEngine::Running());
  XbEngine::Start();
  EXPECT_TRUE(XbEngine::Running());
}

TEST(XbEngine, FirstStartLoadsTheAliasesOfXbaseCfg) {
  StorageTestMachine machine;
  XbEngine::Shutdown();
  const std::string windows = machine.machine().program().WindowsFolder();
  const std::string config =
      "[Other]\r\nx=c:\\no\r\n[Alias]\r\ndata=c:\\tables\r\nData=c:\\later\r\n";
  machine.WriteBytes(windows + "\\xbase.cfg", {config.begin(), config.end()});
  XbEngine::Start();
  ASSERT_EQ(XbAliases().entries().size(), 2u);
  EXPECT_EQ(XbAliases().entries()[0], "Default Directory");
  EXPECT_EQ(XbAliases().Directory("Data"), "C:\\LATER");
  EXPECT_EQ(XbAliases().Directory("OTHER"), std::nullopt);
}

TEST(XbEngine, MissingXbaseCfgLeavesOnlyTheDefaultEntry) {
  StorageTestMachine machine;
  ASSERT_EQ(XbAliases().entries().size(), 1u);
  EXPECT_EQ(XbAliases().entries()[0], "Default Directory");
}

TEST(XbEngine, LastShutdownResetsTheDateObject) {
  StorageTestMachine machine;
  XbDate().setFourDigitYear(false);
  XbEngine::Shutdown();
  XbEngine::Start();
  EXPECT_TRUE(XbDate().fourDigitYear());
}

TEST(XbEngine, LastShutdownReleasesTheLocksOfOpenFiles) {
  StorageTestMachine machine;
  const std::string path = StorageTestMachine::Path("LOCKED.BIN");
  machine.WriteBytes(path, {1, 2, 3});
  XBO_DiskFile holder;
  holder.Open(path, true, true);
  ASSERT_TRUE(holder.LockRegion(100, 10));
  XBO_DiskFile other;
  other.Open(path, true, true);
  EXPECT_FALSE(other.LockRegion(105, 1));
  other.Close();

  XbEngine::Shutdown();
  XbEngine::Start();
  other.Open(path, true, true);
  EXPECT_TRUE(other.LockRegion(105, 1));
  EXPECT_EQ(holder.lockCount(), 0);
}

}  // namespace
}  // namespace tables
