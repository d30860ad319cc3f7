// Reads, writes, sizes and access of host file handles.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/native/native_file_system.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;

constexpr std::uint32_t kReadWrite = file_access::GenericRead | file_access::GenericWrite;

class HostFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<File> OpenFile(const std::string& name, std::uint32_t access,
                                 Disposition disposition = Disposition::OpenExisting) {
    std::unique_ptr<File> file;
    const ErrorCode result =
        files_.Open(folder_ / name, access, file_share::ReadWrite, disposition, file);
    EXPECT_EQ(result, win_error::Success) << name;
    return file;
  }

  TempFolder folder_;
  NativeFileSystem files_;
};

TEST_F(HostFileTest, WritesAndReadsAtOffsets) {
  auto file = OpenFile("table.dat", kReadWrite, Disposition::CreateNew);
  ASSERT_TRUE(file);
  std::uint32_t done = 0;
  ASSERT_EQ(file->WriteAt(4, "DATA", 4, done), win_error::Success);
  EXPECT_EQ(done, 4u);
  ASSERT_EQ(file->WriteAt(0, "HEAD", 4, done), win_error::Success);
  char buffer[8] = {};
  ASSERT_EQ(file->ReadAt(2, buffer, 4, done), win_error::Success);
  EXPECT_EQ(std::string(buffer, done), "ADDA");
  std::uint64_t size = 0;
  ASSERT_EQ(file->Size(size), win_error::Success);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(file->Flush(), win_error::Success);
  file.reset();
  EXPECT_EQ(ReadHostFile(folder_ / "table.dat"), "HEADDATA");
}

TEST_F(HostFileTest, ShortReadAtTheEndIsNotAnError) {
  WriteHostFile(folder_ / "memo.fpt", "0123456789");
  auto file = OpenFile("memo.fpt", file_access::GenericRead);
  ASSERT_TRUE(file);
  char buffer[16] = {};
  std::uint32_t done = 99;
  EXPECT_EQ(file->ReadAt(6, buffer, sizeof buffer, done), win_error::Success);
  EXPECT_EQ(std::string(buffer, done), "6789");
  EXPECT_EQ(file->ReadAt(100, buffer, sizeof buffer, done), win_error::Success);
  EXPECT_EQ(done, 0u);
}

TEST_F(HostFileTest, HandleEnforcesItsAccess) {
  WriteHostFile(folder_ / "kvconf.dat", "abc");
  auto reader = OpenFile("kvconf.dat", file_access::GenericRead);
  ASSERT_TRUE(reader);
  EXPECT_FALSE(reader->Writable());
  std::uint32_t done = 7;
  EXPECT_EQ(reader->WriteAt(0, "x", 1, done), win_error::AccessDenied);
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(reader->Truncate(0), win_error::AccessDenied);

  auto writer = OpenFile("kvconf.dat", file_access::GenericWrite);
  ASSERT_TRUE(writer);
  EXPECT_TRUE(writer->Writable());
  char buffer[4];
  EXPECT_EQ(writer->ReadAt(0, buffer, 3, done), win_error::AccessDenied);
  EXPECT_EQ(ReadHostFile(folder_ / "kvconf.dat"), "abc");
}

TEST_F(HostFileTest, TruncateShortensAndExtends) {
  WriteHostFile(folder_ / "index.cdx", "0123456789");
  auto file = OpenFile("index.cdx", kReadWrite);
  ASSERT_TRUE(file);
  ASSERT_EQ(file->Truncate(4), win_error::Success);
  std::uint64_t size = 0;
  ASSERT_EQ(file->Size(size), win_error::Success);
  EXPECT_EQ(size, 4u);
  ASSERT_EQ(file->Truncate(512), win_error::Success);
  ASSERT_EQ(file->Size(size), win_error::Success);
  EXPECT_EQ(size, 512u);
}

struct DispositionCase {
  Disposition disposition;
  bool fileThere;
  ErrorCode result;
  const char* contentsAfter;  // null: no file afterwards
};

class DispositionTest : public ::testing::TestWithParam<DispositionCase> {};

TEST_P(DispositionTest, CreatesOpensOrTruncates) {
  const DispositionCase& c = GetParam();
  TempFolder folder;
  NativeFileSystem files;
  if (c.fileThere) WriteHostFile(folder / "kvlog.dat", "old");
  std::unique_ptr<File> file;
  EXPECT_EQ(files.Open(folder / "kvlog.dat", kReadWrite, file_share::None, c.disposition, file),
            c.result);
  EXPECT_EQ(file != nullptr, c.result == win_error::Success);
  file.reset();
  if (c.contentsAfter) {
    EXPECT_EQ(ReadHostFile(folder / "kvlog.dat"), c.contentsAfter);
  } else {
    EXPECT_FALSE(std::filesystem::exists(folder / "kvlog.dat"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Dispositions, DispositionTest,
    ::testing::Values(
        DispositionCase{Disposition::CreateNew, false, win_error::Success, ""},
        DispositionCase{Disposition::CreateNew, true, win_error::FileExists, "old"},
        DispositionCase{Disposition::CreateAlways, false, win_error::Success, ""},
        DispositionCase{Disposition::CreateAlways, true, win_error::Success, ""},
        DispositionCase{Disposition::OpenExisting, false, win_error::FileNotFound, nullptr},
        DispositionCase{Disposition::OpenExisting, true, win_error::Success, "old"},
        DispositionCase{Disposition::OpenAlways, false, win_error::Success, ""},
        DispositionCase{Disposition::OpenAlways, true, win_error::Success, "old"},
        DispositionCase{Disposition::TruncateExisting, false, win_error::FileNotFound, nullptr},
        DispositionCase{Disposition::TruncateExisting, true, win_error::Success, ""}));

TEST_F(HostFileTest, OpenReportsMissingFileAndFolderApart) {
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open(folder_ / "none.dat", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::FileNotFound);
  EXPECT_EQ(files_.Open(folder_ / "nowhere/none.dat", file_access::GenericRead,
                        file_share::ReadWrite, Disposition::CreateAlways, file),
            win_error::PathNotFound);
  EXPECT_FALSE(file);
}

TEST_F(HostFileTest, FolderAndReadOnlyFileRefuseWriters) {
  std::filesystem::create_directory(folder_.path() / "data");
  WriteHostFile(folder_ / "shipped.dat", "keep");
  std::filesystem::permissions(folder_ / "shipped.dat", std::filesystem::perms::owner_read);
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open(folder_ / "data", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::AccessDenied);
  EXPECT_EQ(files_.Open(folder_ / "shipped.dat", kReadWrite, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::AccessDenied);
  EXPECT_EQ(files_.Open(folder_ / "shipped.dat", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::CreateAlways, file),
            win_error::AccessDenied);
  WriteHostFile(folder_ / "empty.dat", "");
  std::filesystem::permissions(folder_ / "empty.dat", std::filesystem::perms::owner_read);
  EXPECT_EQ(files_.Open(folder_ / "empty.dat", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::CreateAlways, file),
            win_error::AccessDenied);
  EXPECT_EQ(files_.Open(folder_ / "shipped.dat", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::Success);
  EXPECT_EQ(ReadHostFile(folder_ / "shipped.dat"), "keep");
}

TEST_F(HostFileTest, TruncateExistingNeedsWriteAccess) {
  WriteHostFile(folder_ / "kvus.dat", "users");
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open(folder_ / "kvus.dat", file_access::GenericRead, file_share::ReadWrite,
                        Disposition::TruncateExisting, file),
            win_error::InvalidParameter);
  EXPECT_EQ(ReadHostFile(folder_ / "kvus.dat"), "users");
}

}  // namespace
}  // namespace platform
