#include "tables/storage/disk_file.hpp"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/engine_error_of.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

using testing::ErrorOf;

class DiskFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::uint8_t> bytes(100);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    machine.WriteBytes(path, bytes);
  }

  testing::StorageTestMachine machine;
  const std::string path = testing::StorageTestMachine::Path("FILE.BIN");
};

TEST_F(DiskFileTest, NormalisesNamesToUpperCaseFullPaths) {
  EXPECT_EQ(XbNormalizePath(platform::CurrentMachine(), "c:\\data\\file.bin"),
            "C:\\DATA\\FILE.BIN");
  machine.machine().program().SetCurrentFolder("C:\\DATA");
  EXPECT_EQ(XbNormalizePath(platform::CurrentMachine(), "file.bin"), "C:\\DATA\\FILE.BIN");
  EXPECT_EQ(XbNormalizePath(platform::CurrentMachine(), "\\\\server\\share\\a.dbf"),
            "\\\\SERVER\\SHARE\\A.DBF");
  EXPECT_EQ(XbNormalizePath(platform::CurrentMachine(), "abc:def"), "ABC:DEF");
}

TEST_F(DiskFileTest, TwoSharedOpensUseOneHandle) {
  XBO_DiskFile first, second;
  first.Open(path, true, true);
  second.Open("c:\\data\\file.bin", true, true);
  EXPECT_TRUE(first.SharesHandleWith(second));
  EXPECT_EQ(XbFiles().Count(), 2u);
  second.Close();
  EXPECT_EQ(XbFiles().Count(), 1u);
  std::uint8_t byte = 0;
  EXPECT_EQ(first.ReadAt(7, &byte, 1), 1u);
  EXPECT_EQ(byte, 7);
}

TEST_F(DiskFileTest, ExclusiveOpensExcludeEveryOtherOpen) {
  XBO_DiskFile shared, exclusive;
  shared.Open(path, true, false);
  EXPECT_EQ(ErrorOf([&] { exclusive.Open(path, false, true); }),
            std::make_pair(std::string("File access denied - C:\\DATA\\FILE.BIN"), xb_sub::Open));
  shared.Close();
  exclusive.Open(path, false, true);
  EXPECT_EQ(ErrorOf([&] { shared.Open(path, true, false); }).first,
            "File access denied - C:\\DATA\\FILE.BIN");
}

TEST_F(DiskFileTest, AWriterDoesNotInheritAReadOnlyHandle) {
  XBO_DiskFile reader, writer;
  reader.Open(path, true, false);
  writer.Open(path, true, true);
  EXPECT_FALSE(reader.SharesHandleWith(writer));
  const std::uint8_t byte = 0xAB;
  writer.WriteAt(3, &byte, 1);
  std::uint8_t read = 0;
  reader.ReadAt(3, &read, 1);
  EXPECT_EQ(read, 0xAB);
  EXPECT_EQ(ErrorOf([&] { reader.WriteAt(3, &byte, 1); }).first,
            "File access denied - C:\\DATA\\FILE.BIN");
}

TEST_F(DiskFileTest, AShortReadAtTheEndIsNoError) {
  XBO_DiskFile file;
  file.Open(path, false, false);
  std::uint8_t buffer[20] = {};
  EXPECT_EQ(file.ReadAt(90, buffer, 20), 10u);
  EXPECT_EQ(file.LastError(), kShortRead);
  EXPECT_EQ(buffer[9], 99);
  EXPECT_EQ(file.position(), 100u);
  EXPECT_EQ(file.ReadAt(0, buffer, 20), 20u);
  EXPECT_EQ(file.LastError(), 0u);
}

TEST_F(DiskFileTest, SharedLocksHoldOneRegionPerObject) {
  XBO_DiskFile first, second;
  first.Open(path, true, true);
  second.Open(path, true, true);
  ASSERT_TRUE(first.LockRegion(5, 1));
  EXPECT_FALSE(first.LockRegion(6, 1));
  EXPECT_EQ(first.LastError(), 33u);
  EXPECT_TRUE(first.LockRegion(5, 1));
  EXPECT_EQ(first.lockCount(), 2);
  EXPECT_FALSE(second.LockRegion(5, 1));

  EXPECT_TRUE(first.Unlock());
  EXPECT_FALSE(second.LockRegion(5, 1));
  EXPECT_TRUE(first.Unlock());
  EXPECT_TRUE(second.LockRegion(5, 1));
  EXPECT_FALSE(first.Unlock());
}

TEST_F(DiskFileTest, ExclusiveLocksAreOnlyCounted) {
  XBO_DiskFile file;
  file.Open(path, false, true);
  EXPECT_TRUE(file.LockRegion(5, 1));
  EXPECT_TRUE(file.LockRegion(6, 1));
  EXPECT_TRUE(file.LockFile());
  EXPECT_EQ(file.lockCount(), 3);
  EXPECT_EQ(file.lockedRegion(), (XbLockRegion{5, 1}));
}

TEST_F(DiskFileTest, TruncatingASharedFileNeedsTheWholeFileLock) {
  XBO_DiskFile file;
  file.Open(path, true, true);
  EXPECT_EQ(
      ErrorOf([&] { file.TruncateAt(10); }),
      std::make_pair(std::string("File access denied - C:\\DATA\\FILE.BIN"), xb_sub::Truncate));
  ASSERT_TRUE(file.LockFile());
  EXPECT_EQ(file.lockedRegion(), kWholeFileRegion);
  file.TruncateAt(10);
  EXPECT_EQ(file.FileSize(), 10u);
  file.Unlock();

  XBO_DiskFile reader;
  file.Close();
  reader.Open(path, false, false);
  EXPECT_THROW(reader.TruncateAt(5), EXbaseError);
}

TEST_F(DiskFileTest, CreatingAFileOpenHereIsRefused) {
  XBO_DiskFile open, created;
  open.Open(path, true, true);
  EXPECT_EQ(
      ErrorOf([&] { created.Create(path, true, true); }),
      std::make_pair(std::string("Invalid file access code - C:\\DATA\\FILE.BIN"), xb_sub::Create));
  created.Create(testing::StorageTestMachine::Path("NEW.BIN"), true, true);
  EXPECT_EQ(created.FileSize(), 0u);
}

TEST_F(DiskFileTest, RenameReopensUnderTheNewName) {
  XBO_DiskFile file;
  file.Open(path, false, true);
  file.Rename("c:\\data\\moved.bin");
  EXPECT_EQ(file.path(), "C:\\DATA\\MOVED.BIN");
  EXPECT_TRUE(file.isOpen());
  EXPECT_EQ(file.FileSize(), 100u);
  EXPECT_FALSE(machine.machine().files().Exists(path));
}

TEST_F(DiskFileTest, OperationsOnAClosedFileAreReported) {
  XBO_DiskFile file;
  std::uint8_t byte = 0;
  EXPECT_EQ(ErrorOf([&] { file.ReadAt(0, &byte, 1); }).second, xb_sub::Read);
  EXPECT_FALSE(file.LockRegion(0, 1));
}

}  // namespace
}  // namespace tables
