// Share modes between handles of this process and of another process, and files in use.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "platform/native/native_file_system.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

using testing::TempFolder;
using testing::WriteHostFile;

constexpr std::uint32_t R = file_access::GenericRead;
constexpr std::uint32_t W = file_access::GenericWrite;
constexpr std::uint32_t RW = R | W;

struct ShareCase {
  std::uint32_t firstAccess, firstShare;
  std::uint32_t secondAccess, secondShare;
  ErrorCode second;
};

void PrintTo(const ShareCase& c, std::ostream* out) {
  *out << "first access " << std::hex << c.firstAccess << " share " << c.firstShare
       << ", second access " << c.secondAccess << " share " << c.secondShare << std::dec << " -> "
       << c.second;
}

class ShareModeTest : public ::testing::TestWithParam<ShareCase> {
 protected:
  void SetUp() override { WriteHostFile(path(), "table"); }
  std::string path() const { return folder_ / "kv015.dat"; }

  ErrorCode Open(std::uint32_t access, std::uint32_t share, std::unique_ptr<File>& file) {
    return files_.Open(path(), access, share, Disposition::OpenExisting, file);
  }

  TempFolder folder_;
  NativeFileSystem files_;
};

TEST_P(ShareModeTest, SecondHandleIsCheckedAgainstTheFirst) {
  const ShareCase& c = GetParam();
  std::unique_ptr<File> first, second;
  ASSERT_EQ(Open(c.firstAccess, c.firstShare, first), win_error::Success);
  EXPECT_EQ(Open(c.secondAccess, c.secondShare, second), c.second);
  first.reset();
  EXPECT_EQ(Open(c.secondAccess, c.secondShare, second), win_error::Success);
}

// The same pairs checked from another process: the child opens second and exits with 0 on
// success, 1 on a sharing violation, 2 on anything else.
TEST_P(ShareModeTest, SecondHandleInAnotherProcessIsCheckedToo) {
  const ShareCase& c = GetParam();
  std::unique_ptr<File> first;
  ASSERT_EQ(Open(c.firstAccess, c.firstShare, first), win_error::Success);
  const pid_t child = fork();
  if (child == 0) {
    // Drop this process's handle first: the child must be refused by the host locks alone.
    first.release();
    NativeFileSystem files;
    std::unique_ptr<File> second;
    const ErrorCode result =
        files.Open(path(), c.secondAccess, c.secondShare, Disposition::OpenExisting, second);
    _exit(result == win_error::Success ? 0 : result == win_error::SharingViolation ? 1 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), c.second == win_error::Success ? 0 : 1);
}

constexpr std::uint32_t kNone = file_share::None;
constexpr std::uint32_t kRead = file_share::Read;
constexpr std::uint32_t kWrite = file_share::Write;
constexpr std::uint32_t kBoth = file_share::ReadWrite;
constexpr ErrorCode kOk = win_error::Success;
constexpr ErrorCode kRefused = win_error::SharingViolation;

INSTANTIATE_TEST_SUITE_P(
    Pairs, ShareModeTest,
    ::testing::Values(
        // Two shared table handles live together.
        ShareCase{RW, kBoth, RW, kBoth, kOk},
        // An exclusive handle keeps everybody out, and cannot join an open file.
        ShareCase{RW, kNone, R, kBoth, kRefused}, ShareCase{R, kNone, R, kBoth, kRefused},
        ShareCase{R, kBoth, RW, kNone, kRefused}, ShareCase{R, kBoth, R, kNone, kRefused},
        // Share read only: readers join, writers do not.
        ShareCase{R, kRead, R, kRead, kOk}, ShareCase{R, kRead, RW, kBoth, kRefused},
        ShareCase{RW, kRead, R, kBoth, kOk}, ShareCase{RW, kRead, R, kRead, kRefused},
        // Share write only: writers join, readers do not.
        ShareCase{W, kWrite, W, kBoth, kOk}, ShareCase{W, kWrite, R, kBoth, kRefused},
        // What the second refuses must not be what the first does.
        ShareCase{R, kBoth, R, kWrite, kRefused}, ShareCase{W, kBoth, R, kRead, kRefused},
        ShareCase{R, kBoth, R, kRead, kOk}));

class FileInUseTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteHostFile(folder_ / "kvconf.dat", "config"); }

  std::unique_ptr<File> Hold(std::uint32_t share) {
    std::unique_ptr<File> file;
    EXPECT_EQ(files_.Open(folder_ / "kvconf.dat", R, share, Disposition::OpenExisting, file),
              win_error::Success);
    return file;
  }

  TempFolder folder_;
  NativeFileSystem files_;
};

TEST_F(FileInUseTest, OpenFileCannotBeDeletedOrRenamedWithoutShareDelete) {
  auto held = Hold(file_share::ReadWrite);
  EXPECT_EQ(files_.Remove(folder_ / "kvconf.dat"), win_error::SharingViolation);
  EXPECT_EQ(files_.Rename(folder_ / "kvconf.dat", folder_ / "old.dat"),
            win_error::SharingViolation);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "kvconf.dat"));
  held.reset();
  EXPECT_EQ(files_.Remove(folder_ / "kvconf.dat"), win_error::Success);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "kvconf.dat"));
}

TEST_F(FileInUseTest, ShareDeleteLetsTheFileGo) {
  auto held = Hold(file_share::ReadWrite | file_share::Delete);
  EXPECT_EQ(files_.Rename(folder_ / "kvconf.dat", folder_ / "old.dat"), win_error::Success);
  EXPECT_TRUE(std::filesystem::exists(folder_ / "old.dat"));
}

TEST_F(FileInUseTest, CopyOverAnOpenFileIsASharingViolation) {
  WriteHostFile(folder_ / "new/kvconf.dat", "newer");
  auto held = Hold(file_share::ReadWrite);
  EXPECT_EQ(files_.Copy(folder_ / "new/kvconf.dat", folder_ / "kvconf.dat", false),
            win_error::SharingViolation);
  EXPECT_EQ(testing::ReadHostFile(folder_ / "kvconf.dat"), "config");
  held.reset();
  EXPECT_EQ(files_.Copy(folder_ / "new/kvconf.dat", folder_ / "kvconf.dat", false),
            win_error::Success);
  EXPECT_EQ(testing::ReadHostFile(folder_ / "kvconf.dat"), "newer");
}

TEST_F(FileInUseTest, CopyOfAFileOpenForSharedUseWorks) {
  auto held = Hold(file_share::ReadWrite);
  EXPECT_EQ(files_.Copy(folder_ / "kvconf.dat", folder_ / "copy.dat", true), win_error::Success);
  EXPECT_EQ(testing::ReadHostFile(folder_ / "copy.dat"), "config");
  EXPECT_EQ(files_.Copy(folder_ / "kvconf.dat", folder_ / "kvconf.dat", false),
            win_error::SharingViolation);
}

}  // namespace
}  // namespace platform
