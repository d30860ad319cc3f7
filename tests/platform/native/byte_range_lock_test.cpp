// LockFile/UnlockFile on host files: within one handle, between handles and between processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/native/native_file_system.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

using testing::TempFolder;
using testing::WriteHostFile;

constexpr std::uint32_t kReadWrite = file_access::GenericRead | file_access::GenericWrite;

class ByteRangeLockTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteHostFile(path(), std::string(64, 'x')); }

  std::string path() const { return folder_ / "kvus.dat"; }

  std::unique_ptr<File> OpenShared(std::uint32_t access = kReadWrite) {
    std::unique_ptr<File> file;
    EXPECT_EQ(files_.Open(path(), access, file_share::ReadWrite, Disposition::OpenExisting, file),
              win_error::Success);
    return file;
  }

  TempFolder folder_;
  NativeFileSystem files_;
};

TEST_F(ByteRangeLockTest, OverlapThroughTheSameHandleFails) {
  auto file = OpenShared();
  ASSERT_EQ(file->Lock(0x7FFFFFFB, 1), win_error::Success);
  EXPECT_EQ(file->Lock(0x7FFFFFFB, 1), win_error::LockViolation);
  EXPECT_EQ(file->Lock(0x7FFFFFF0, 0x20), win_error::LockViolation);
  EXPECT_EQ(file->Lock(0x7FFFFFFA, 1), win_error::Success);
}

TEST_F(ByteRangeLockTest, OverlapThroughAnotherHandleFails) {
  auto first = OpenShared();
  auto second = OpenShared();
  ASSERT_EQ(first->Lock(0x400000F2, 40), win_error::Success);
  EXPECT_EQ(second->Lock(0x40000100, 1), win_error::LockViolation);
  EXPECT_EQ(second->Lock(0x400000F2 + 40, 40), win_error::Success);
  ASSERT_EQ(first->Unlock(0x400000F2, 40), win_error::Success);
  EXPECT_EQ(second->Lock(0x40000100, 1), win_error::Success);
}

TEST_F(ByteRangeLockTest, ReadOnlyHandleLocksAndExcludesOthers) {
  auto reader = OpenShared(file_access::GenericRead);
  auto writer = OpenShared();
  ASSERT_EQ(reader->Lock(0x40000000, 0xB0000000), win_error::Success);
  EXPECT_EQ(writer->Lock(0xEFFFFFFE, 1), win_error::LockViolation);
  ASSERT_EQ(reader->Unlock(0x40000000, 0xB0000000), win_error::Success);
  EXPECT_EQ(writer->Lock(0xEFFFFFFE, 1), win_error::Success);
  EXPECT_EQ(reader->Lock(0xEFFFFFFE, 2), win_error::LockViolation);
}

TEST_F(ByteRangeLockTest, UnlockMustNameALockedRangeOfThisHandleExactly) {
  auto first = OpenShared();
  auto second = OpenShared();
  EXPECT_EQ(first->Unlock(0x7FFFFFFE, 1), win_error::NotLocked);
  ASSERT_EQ(first->Lock(0x40000000, 0x3FFFFFFF), win_error::Success);
  EXPECT_EQ(first->Unlock(0x40000000, 0x10), win_error::NotLocked);
  EXPECT_EQ(first->Unlock(0x40000001, 0x3FFFFFFE), win_error::NotLocked);
  EXPECT_EQ(second->Unlock(0x40000000, 0x3FFFFFFF), win_error::NotLocked);
  EXPECT_EQ(first->Unlock(0x40000000, 0x3FFFFFFF), win_error::Success);
  EXPECT_EQ(first->Unlock(0x40000000, 0x3FFFFFFF), win_error::NotLocked);
}

TEST_F(ByteRangeLockTest, ClosingAHandleReleasesItsLocks) {
  auto first = OpenShared();
  auto second = OpenShared();
  ASSERT_EQ(first->Lock(1000000000, 1000000000), win_error::Success);
  EXPECT_EQ(second->Lock(1000000005, 1), win_error::LockViolation);
  first.reset();
  EXPECT_EQ(second->Lock(1000000005, 1), win_error::Success);
}

TEST_F(ByteRangeLockTest, EmptyRangesLockNothingButMustBeUnlocked) {
  auto first = OpenShared();
  auto second = OpenShared();
  ASSERT_EQ(first->Lock(10, 0), win_error::Success);
  EXPECT_EQ(second->Lock(0, 100), win_error::Success);
  EXPECT_EQ(first->Unlock(10, 0), win_error::Success);
  EXPECT_EQ(first->Unlock(10, 0), win_error::NotLocked);
}

TEST_F(ByteRangeLockTest, RangesIntoTheReservedAreaAreRefused) {
  auto file = OpenShared();
  EXPECT_EQ(file->Lock(0x7FFF'FFFF'0000'0000, 1), win_error::InvalidParameter);
  EXPECT_EQ(file->Lock(0x7FFF'FFFE'FFFF'FFFF, 2), win_error::InvalidParameter);
  EXPECT_EQ(file->Lock(0xFFFF'FFFF'FFFF'FFFF, 2), win_error::InvalidParameter);
  EXPECT_EQ(file->Lock(0x7FFF'FFFE'FFFF'FFFF, 1), win_error::Success);
}

// The host lock table lists open-file-description locks as
// "N: OFDLCK ADVISORY WRITE -1 MAJ:MIN:INODE START END".
std::vector<std::pair<std::uint64_t, std::uint64_t>> HostWriteLocks(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  std::ostringstream identity;
  identity << std::hex;
  identity.width(2);
  identity.fill('0');
  identity << major(status.st_dev) << ':';
  identity.width(2);
  identity << minor(status.st_dev) << ':' << std::dec << status.st_ino;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, kind, advisory, type, pid, file;
    std::uint64_t start = 0, end = 0;
    if (!(fields >> number >> kind >> advisory >> type >> pid >> file >> start >> end)) continue;
    if (kind == "OFDLCK" && type == "WRITE" && file == identity.str()) {
      ranges.emplace_back(start, end);
    }
  }
  return ranges;
}

TEST_F(ByteRangeLockTest, HeldRangesShowInTheHostLockTable) {
  auto file = OpenShared();
  ASSERT_EQ(file->Lock(0x40000000, 0xB0000000), win_error::Success);
  ASSERT_EQ(file->Lock(0x7FFFFFFB, 0), win_error::Success);
  const auto ranges = HostWriteLocks(path());
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ranges[0].first, 0x40000000u);
  EXPECT_EQ(ranges[0].second, 0xEFFFFFFFu);
  ASSERT_EQ(file->Unlock(0x40000000, 0xB0000000), win_error::Success);
  EXPECT_TRUE(HostWriteLocks(path()).empty());
}

constexpr const char* kHelperVariable = "KORVANE_LOCK_HELPER";
constexpr const char* kHelperTest = "LockHelperProcess.HoldsALockUntilReleased";

// A separate process (this test program run again, as the helper test below) that opens the
// file, locks a range, says so through a pipe and keeps the lock until the parent closes the
// other pipe. Being a fresh program it shares nothing with this process but the host.
class LockingChild {
 public:
  LockingChild(const std::string& path, std::uint64_t offset, std::uint64_t length) {
    int toParent[2], toChild[2];
    if (pipe(toParent) != 0 || pipe(toChild) != 0) throw std::runtime_error("pipe");
    const std::string request = path + "|" + std::to_string(offset) + "|" + std::to_string(length) +
                                "|" + std::to_string(toParent[1]) + "|" +
                                std::to_string(toChild[0]);
    const std::string filter = std::string("--gtest_filter=") + kHelperTest;
    pid_ = fork();
    if (pid_ == 0) {
      close(toParent[0]);
      close(toChild[1]);
      const int quiet = open("/dev/null", O_WRONLY);
      if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
      setenv(kHelperVariable, request.c_str(), 1);
      execl("/proc/self/exe", "platform_native_tests", filter.c_str(), nullptr);
      _exit(127);
    }
    close(toParent[1]);
    close(toChild[0]);
    report_ = toParent[0];
    release_ = toChild[1];
  }
  ~LockingChild() {
    close(report_);
    if (release_ >= 0) ReleaseAndWait();
  }

  // What the child reports: 'L' when it holds the lock, 'F' when the lock failed.
  char Report() {
    char answer = 0;
    return read(report_, &answer, 1) == 1 ? answer : 0;
  }
  // Tells the child to let go and waits until it has exited; its exit status.
  int ReleaseAndWait() {
    close(release_);
    release_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    return status;
  }

 private:
  pid_t pid_ = -1;
  int report_ = -1;
  int release_ = -1;
};

TEST(LockHelperProcess, HoldsALockUntilReleased) {
  const char* request = getenv(kHelperVariable);
  if (!request) GTEST_SKIP() << "runs only as the child process of the lock tests";
  std::istringstream fields(request);
  std::string path, offset, length, report, release;
  std::getline(fields, path, '|');
  std::getline(fields, offset, '|');
  std::getline(fields, length, '|');
  std::getline(fields, report, '|');
  std::getline(fields, release, '|');
  NativeFileSystem files;
  std::unique_ptr<File> file;
  char answer = 'F';
  if (files.Open(path, kReadWrite, file_share::ReadWrite, Disposition::OpenExisting, file) ==
          win_error::Success &&
      file->Lock(std::stoull(offset), std::stoull(length)) == win_error::Success) {
    answer = 'L';
  }
  ASSERT_EQ(write(std::stoi(report), &answer, 1), 1);
  char ignored;
  while (read(std::stoi(release), &ignored, 1) > 0) {
  }
}

TEST_F(ByteRangeLockTest, LocksExcludeAnotherProcessUntilItLetsGo) {
  LockingChild child(path(), 0x7FFFFFFE - 5, 1);
  ASSERT_EQ(child.Report(), 'L');
  auto file = OpenShared();
  EXPECT_EQ(file->Lock(0x7FFFFFFE - 5, 1), win_error::LockViolation);
  EXPECT_EQ(file->Lock(0x40000000, 0x7FFFFFFF - 0x40000000), win_error::LockViolation);
  EXPECT_EQ(file->Lock(0x7FFFFFFE - 6, 1), win_error::Success);
  const int status = child.ReleaseAndWait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(file->Lock(0x7FFFFFFE - 5, 1), win_error::Success);
}

TEST_F(ByteRangeLockTest, AnotherProcessIsRefusedWhileThisOneHoldsTheRange) {
  auto file = OpenShared(file_access::GenericRead);
  ASSERT_EQ(file->Lock(0x7FFFFFFD, 1), win_error::Success);
  {
    LockingChild child(path(), 0x7FFFFFFD, 1);
    EXPECT_EQ(child.Report(), 'F');
  }
  ASSERT_EQ(file->Unlock(0x7FFFFFFD, 1), win_error::Success);
  LockingChild child(path(), 0x7FFFFFFD, 1);
  EXPECT_EQ(child.Report(), 'L');
  EXPECT_EQ(file->Lock(0x7FFFFFFD, 1), win_error::LockViolation);
}

}  // namespace
}  // namespace platform
