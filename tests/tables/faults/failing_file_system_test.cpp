// The failing file system itself: it fails exactly the call it is told to, once, the way a disk
// does, and counts what passes through.
#include "tests/support/failing_file_system.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/failing_machine.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace platform::testing {
namespace {

using tables::testing::StorageTestMachine;

const std::string kFile = "C:\\DATA\\F.BIN";

class FailingFileSystemTest : public ::testing::Test {
 protected:
  FailingFileSystemTest() { storage.WriteBytes(kFile, {'0', '1', '2', '3', '4', '5', '6', '7'}); }

  std::unique_ptr<File> OpenFile() {
    std::unique_ptr<File> file;
    EXPECT_EQ(files.Open(kFile, file_access::GenericRead | file_access::GenericWrite,
                         file_share::ReadWrite, Disposition::OpenExisting, file),
              win_error::Success);
    return file;
  }
  ErrorCode Write(File& file, std::uint64_t offset, const std::string& text,
                  std::uint32_t& written) {
    return file.WriteAt(offset, text.data(), static_cast<std::uint32_t>(text.size()), written);
  }
  std::string Stored() {
    const std::vector<std::uint8_t> bytes = storage.ReadBytes(kFile);
    return {bytes.begin(), bytes.end()};
  }

  StorageTestMachine storage;
  FailingMachine machine{storage.machine()};
  FailingFileSystem& files = machine.failingFiles();
};

TEST_F(FailingFileSystemTest, FailsTheNthCallOnceWithTheDiskErrorOfItsKind) {
  std::unique_ptr<File> file = OpenFile();  // call 1
  files.Heal();
  files.FailCall(2);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(*file, 0, "ab", written), win_error::Success);
  EXPECT_EQ(Write(*file, 2, "cd", written), win_error::DiskFull);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(Write(*file, 4, "ef", written), win_error::Success);
  EXPECT_EQ(Stored(), "ab23ef67");
  ASSERT_TRUE(files.injected().has_value());
  EXPECT_EQ(files.injected()->callNumber, 2u);
  EXPECT_EQ(files.injected()->target.call, FileCall::Write);
  EXPECT_EQ(files.injected()->target.path, kFile);
  EXPECT_EQ(files.calls(), 3u);
}

TEST_F(FailingFileSystemTest, EachKindFailsAsADiskDoes) {
  std::unique_ptr<File> file = OpenFile();
  std::uint8_t buffer[4];
  std::uint32_t got = 0;
  files.FailCallOf(FileCall::Read, 1);
  EXPECT_EQ(file->ReadAt(0, buffer, 4, got), win_error::NotReady);
  files.FailCallOf(FileCall::Lock, 1);
  EXPECT_EQ(file->Lock(0, 1), win_error::LockViolation);
  EXPECT_EQ(file->Lock(0, 1), win_error::Success);  // the failed lock took nothing
  files.FailCallOf(FileCall::Flush, 1);
  EXPECT_EQ(file->Flush(), win_error::DiskFull);
  files.FailCallOf(FileCall::Open, 1);
  std::unique_ptr<File> second;
  EXPECT_EQ(files.Open(kFile, file_access::GenericRead, file_share::ReadWrite,
                       Disposition::OpenExisting, second),
            win_error::SharingViolation);
  EXPECT_EQ(second, nullptr);
  files.FailCallOf(FileCall::Create, 1, win_error::AccessDenied);
  EXPECT_EQ(files.Open("C:\\DATA\\NEW.BIN", file_access::GenericWrite, file_share::None,
                       Disposition::CreateAlways, second),
            win_error::AccessDenied);
  EXPECT_FALSE(files.Exists("C:\\DATA\\NEW.BIN"));
}

TEST_F(FailingFileSystemTest, CountsOnlyTheKindAskedFor) {
  std::unique_ptr<File> file = OpenFile();
  files.FailCallOf(FileCall::Write, 2);
  std::uint8_t buffer[2];
  std::uint32_t count = 0;
  EXPECT_EQ(file->ReadAt(0, buffer, 2, count), win_error::Success);
  EXPECT_EQ(Write(*file, 0, "ab", count), win_error::Success);
  EXPECT_EQ(file->ReadAt(0, buffer, 2, count), win_error::Success);
  EXPECT_EQ(Write(*file, 2, "cd", count), win_error::DiskFull);
  EXPECT_EQ(files.injected()->callNumber, 4u);
  EXPECT_EQ(files.callsOf(FileCall::Write), 2u);
  EXPECT_EQ(files.callsOf(FileCall::Read), 2u);
}

TEST_F(FailingFileSystemTest, AShortWriteStoresTheFirstHalf) {
  std::unique_ptr<File> file = OpenFile();
  files.ShortenWrite(1);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(*file, 0, "abcdef", written), win_error::Success);
  EXPECT_EQ(written, 3u);
  EXPECT_EQ(Stored(), "abc34567");
  EXPECT_EQ(files.injected()->bytesKept, 3u);
  files.ShortenWrite(1, win_error::DiskFull);
  EXPECT_EQ(Write(*file, 6, "wxyz", written), win_error::DiskFull);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(Stored(), "abc345wx");
}

TEST_F(FailingFileSystemTest, AFullDiskRefusesOnlyWritesThatGrowAFile) {
  std::unique_ptr<File> file = OpenFile();
  files.FillDiskFrom(2);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(*file, 8, "ab", written), win_error::Success);  // before the disk filled
  EXPECT_EQ(Write(*file, 0, "xy", written), win_error::Success);  // inside the file
  EXPECT_FALSE(files.injected().has_value());
  EXPECT_EQ(Write(*file, 9, "cdef", written), win_error::DiskFull);
  EXPECT_EQ(written, 1u);
  EXPECT_EQ(Write(*file, 10, "g", written), win_error::DiskFull);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(Stored(), "xy234567ac");
  ASSERT_TRUE(files.injected().has_value());
  EXPECT_EQ(files.injected()->callNumber, 3u);
  EXPECT_EQ(files.injected()->bytesKept, 1u);
}

TEST_F(FailingFileSystemTest, HealDropsThePlanAndTheCount) {
  std::unique_ptr<File> file = OpenFile();
  files.FailCall(2);
  files.Heal();
  std::uint32_t written = 0;
  EXPECT_EQ(Write(*file, 0, "ab", written), win_error::Success);
  EXPECT_EQ(Write(*file, 0, "ab", written), win_error::Success);
  EXPECT_FALSE(files.injected().has_value());
  EXPECT_EQ(files.calls(), 2u);
  ASSERT_EQ(files.log().size(), 2u);
  EXPECT_EQ(files.log()[1].call, FileCall::Write);
}

TEST_F(FailingFileSystemTest, TheMachineHandsOutTheFailingFilesAndForwardsTheRest) {
  EXPECT_EQ(&machine.files(), &files);
  EXPECT_EQ(&machine.clock(), &storage.machine().clock());
  EXPECT_EQ(&machine.registry(), &storage.machine().registry());
  EXPECT_EQ(&machine.codePages(), &storage.machine().codePages());
  files.FailCallOf(FileCall::Rename, 1);
  EXPECT_EQ(machine.files().Rename(kFile, "C:\\DATA\\G.BIN"), win_error::SharingViolation);
  EXPECT_TRUE(storage.machine().files().Exists(kFile));
}

}  // namespace
}  // namespace platform::testing
