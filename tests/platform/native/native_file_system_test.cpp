// Paths, copies, listings and folders of the native file system.
#include "platform/native/native_file_system.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/native/host_file_time.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

using testing::ReadHostFile;
using testing::TempFolder;
using testing::WriteHostFile;
namespace fs = std::filesystem;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class NativeFileSystemTest : public ::testing::Test {
 protected:
  std::vector<std::string> FoundNames(const std::string& pattern, ErrorCode expected) {
    std::vector<FindData> found;
    EXPECT_EQ(files_.Find(pattern, found), expected) << pattern;
    std::vector<std::string> names;
    for (const FindData& entry : found)
      names.push_back(entry.name);
    return names;
  }

  TempFolder folder_;
  NativeFileSystem files_;
};

TEST_F(NativeFileSystemTest, UpperCasedPathFindsTheStoredNames) {
  WriteHostFile(folder_ / "data/Sub/kvus.dat", "users");
  const std::string upper = Upper(folder_.path().string()) + "/DATA/SUB/KVUS.DAT";
  std::unique_ptr<File> file;
  ASSERT_EQ(files_.Open(upper, file_access::GenericRead, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::Success);
  char buffer[5];
  std::uint32_t done = 0;
  ASSERT_EQ(file->ReadAt(0, buffer, 5, done), win_error::Success);
  EXPECT_EQ(std::string(buffer, done), "users");
  EXPECT_EQ(files_.HostPath(upper), folder_ / "data/Sub/kvus.dat");
  EXPECT_TRUE(files_.Exists(folder_ / "DATA\\sub\\KvUs.DaT"));
}

TEST_F(NativeFileSystemTest, ExactNameWinsOverOtherCases) {
  WriteHostFile(folder_ / "KV015.dat", "upper");
  WriteHostFile(folder_ / "kv015.dat", "lower");
  WriteHostFile(folder_ / "Kv015.dat", "mixed");
  EXPECT_EQ(files_.HostPath(folder_ / "kv015.dat"), folder_ / "kv015.dat");
  EXPECT_EQ(files_.HostPath(folder_ / "Kv015.dat"), folder_ / "Kv015.dat");
  // No exact match: the smallest stored name is taken, whatever the listing order.
  EXPECT_EQ(files_.HostPath(folder_ / "kV015.DAT"), folder_ / "KV015.dat");
}

TEST_F(NativeFileSystemTest, NewFilesAndFoldersKeepTheGivenCase) {
  fs::create_directory(folder_.path() / "system");
  std::unique_ptr<File> file;
  ASSERT_EQ(files_.Open(folder_ / "SYSTEM/KVWords.Dat",
                        file_access::GenericRead | file_access::GenericWrite, file_share::None,
                        Disposition::CreateNew, file),
            win_error::Success);
  EXPECT_TRUE(fs::exists(folder_.path() / "system/KVWords.Dat"));
  ASSERT_EQ(files_.MakeFolder(folder_ / "SYSTEM/Start Menu/Programs/Ostrel"), win_error::Success);
  EXPECT_TRUE(fs::is_directory(folder_.path() / "system/Start Menu/Programs/Ostrel"));
  EXPECT_EQ(files_.MakeFolder(folder_ / "system/start menu"), win_error::Success);
  EXPECT_EQ(files_.MakeFolder(folder_ / "system/kvwords.dat"), win_error::AlreadyExists);
  EXPECT_EQ(files_.MakeFolder(folder_ / "system/kvwords.dat/below"), win_error::PathNotFound);
}

TEST_F(NativeFileSystemTest, AttributesTellFilesFoldersAndMissingOnes) {
  WriteHostFile(folder_ / "kvlog.dat", "log");
  WriteHostFile(folder_ / "psapi.dll", "dll");
  fs::permissions(folder_ / "psapi.dll", fs::perms::owner_read);
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.Attributes(folder_ / "KVLOG.DAT", attributes), win_error::Success);
  EXPECT_EQ(attributes, file_attribute::Archive);
  EXPECT_EQ(files_.Attributes(folder_ / "PSAPI.DLL", attributes), win_error::Success);
  EXPECT_EQ(attributes, file_attribute::Archive | file_attribute::ReadOnly);
  EXPECT_EQ(files_.Attributes(folder_.path().string(), attributes), win_error::Success);
  EXPECT_EQ(attributes, file_attribute::Directory);
  EXPECT_EQ(files_.Attributes(folder_ / "kv100.dat", attributes), win_error::FileNotFound);
  EXPECT_EQ(attributes, file_attribute::Invalid);
  EXPECT_EQ(files_.Attributes(folder_ / "none/kv100.dat", attributes), win_error::PathNotFound);
  EXPECT_EQ(files_.Attributes(folder_ / "kvlog.dat/kv100.dat", attributes),
            win_error::PathNotFound);
}

TEST_F(NativeFileSystemTest, CopyKeepsTheLastWriteTimeAndHonoursFailIfExists) {
  WriteHostFile(folder_ / "setup/KV015.dat", "sites");
  const auto stamp = fs::last_write_time(folder_ / "setup/KV015.dat") - std::chrono::hours(9000);
  fs::last_write_time(folder_ / "setup/KV015.dat", stamp);
  fs::create_directory(folder_.path() / "system");

  EXPECT_EQ(files_.Copy(folder_ / "SETUP/kv015.DAT", folder_ / "system/KV015.dat", true),
            win_error::Success);
  EXPECT_EQ(ReadHostFile(folder_ / "system/KV015.dat"), "sites");
  EXPECT_EQ(fs::last_write_time(folder_ / "system/KV015.dat"), stamp);

  WriteHostFile(folder_ / "setup/KV015.dat", "newer sites");
  EXPECT_EQ(files_.Copy(folder_ / "setup/KV015.dat", folder_ / "SYSTEM/kv015.dat", true),
            win_error::FileExists);
  EXPECT_EQ(ReadHostFile(folder_ / "system/KV015.dat"), "sites");
  EXPECT_EQ(files_.Copy(folder_ / "setup/KV015.dat", folder_ / "SYSTEM/kv015.dat", false),
            win_error::Success);
  EXPECT_EQ(ReadHostFile(folder_ / "system/KV015.dat"), "newer sites");
  EXPECT_FALSE(fs::exists(folder_.path() / "system/kv015.dat"));
}

TEST_F(NativeFileSystemTest, CopyReportsMissingSourceAndTargetFolder) {
  WriteHostFile(folder_ / "Oslogo.ico", "icon");
  EXPECT_EQ(files_.Copy(folder_ / "nfd.sys", folder_ / "copy.sys", false), win_error::FileNotFound);
  EXPECT_EQ(files_.Copy(folder_ / "none/nfd.sys", folder_ / "copy.sys", false),
            win_error::PathNotFound);
  EXPECT_EQ(files_.Copy(folder_ / "Oslogo.ico", folder_ / "none/Oslogo.ico", false),
            win_error::PathNotFound);
  EXPECT_FALSE(fs::exists(folder_.path() / "copy.sys"));
}

TEST_F(NativeFileSystemTest, CopyOntoAReadOnlyFileIsRefused) {
  WriteHostFile(folder_ / "psapi.dll", "new");
  WriteHostFile(folder_ / "system/psapi.dll", "old");
  fs::permissions(folder_ / "system/psapi.dll", fs::perms::owner_read);
  EXPECT_EQ(files_.Copy(folder_ / "psapi.dll", folder_ / "system/psapi.dll", false),
            win_error::AccessDenied);
  EXPECT_EQ(ReadHostFile(folder_ / "system/psapi.dll"), "old");
}

TEST_F(NativeFileSystemTest, FindGivesTheLastWriteTimeOfOneFile) {
  WriteHostFile(folder_ / "KV015.dat", "sites");
  std::vector<FindData> found;
  ASSERT_EQ(files_.Find(folder_ / "kv015.DAT", found), win_error::Success);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "KV015.dat");
  EXPECT_EQ(found[0].size, 5u);
  EXPECT_EQ(found[0].attributes, file_attribute::Archive);
  struct stat status {};
  ASSERT_EQ(stat((folder_ / "KV015.dat").c_str(), &status), 0);
  EXPECT_EQ(found[0].lastWriteTime, FileTimeFromHost(status.st_mtim));
}

TEST_F(NativeFileSystemTest, FindListsMatchingNamesInOrderWithDotEntries) {
  WriteHostFile(folder_ / "list/kv025.dat", "");
  WriteHostFile(folder_ / "list/KV015.DAT", "");
  WriteHostFile(folder_ / "list/kv015.cdx", "");
  WriteHostFile(folder_ / "list/README", "");
  fs::create_directory(folder_.path() / "list/SYSTEM");
  EXPECT_EQ(FoundNames(folder_ / "LIST/*.dat", win_error::Success),
            (std::vector<std::string>{"KV015.DAT", "kv025.dat"}));
  EXPECT_EQ(FoundNames(folder_ / "list/*.", win_error::Success),
            (std::vector<std::string>{".", "..", "README", "SYSTEM"}));
  EXPECT_EQ(FoundNames(folder_ / "list/*", win_error::Success),
            (std::vector<std::string>{".", "..", "kv015.cdx", "KV015.DAT", "kv025.dat", "README",
                                      "SYSTEM"}));
  EXPECT_EQ(FoundNames(folder_ / "list/kv0?5.*", win_error::Success),
            (std::vector<std::string>{"kv015.cdx", "KV015.DAT", "kv025.dat"}));
  EXPECT_TRUE(FoundNames(folder_ / "list/*.wav", win_error::FileNotFound).empty());
  EXPECT_TRUE(FoundNames(folder_ / "none/*.dat", win_error::PathNotFound).empty());
}

TEST_F(NativeFileSystemTest, FindMarksFolders) {
  fs::create_directory(folder_.path() / "Ostrel");
  std::vector<FindData> found;
  ASSERT_EQ(files_.Find(folder_ / "ostrel", found), win_error::Success);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "Ostrel");
  EXPECT_EQ(found[0].attributes, file_attribute::Directory);
}

TEST_F(NativeFileSystemTest, RemoveDeletesFilesOnly) {
  WriteHostFile(folder_ / "KV035.cdx", "index");
  WriteHostFile(folder_ / "Oshelp.gid", "help");
  fs::permissions(folder_ / "Oshelp.gid", fs::perms::owner_read);
  fs::create_directory(folder_.path() / "folder");
  EXPECT_EQ(files_.Remove(folder_ / "kv035.CDX"), win_error::Success);
  EXPECT_FALSE(fs::exists(folder_.path() / "KV035.cdx"));
  EXPECT_EQ(files_.Remove(folder_ / "kv035.cdx"), win_error::FileNotFound);
  EXPECT_EQ(files_.Remove(folder_ / "none/kv035.cdx"), win_error::PathNotFound);
  EXPECT_EQ(files_.Remove(folder_ / "folder"), win_error::AccessDenied);
  EXPECT_EQ(files_.Remove(folder_ / "oshelp.gid"), win_error::AccessDenied);
  EXPECT_TRUE(fs::exists(folder_.path() / "Oshelp.gid"));
}

TEST_F(NativeFileSystemTest, RenameMovesRefusesExistingTargetsAndChangesCase) {
  WriteHostFile(folder_ / "kvus.dat", "users");
  WriteHostFile(folder_ / "kvlog.dat", "log");
  EXPECT_EQ(files_.Rename(folder_ / "KVUS.DAT", folder_ / "KVLOG.dat"), win_error::AlreadyExists);
  EXPECT_EQ(ReadHostFile(folder_ / "kvlog.dat"), "log");
  EXPECT_EQ(files_.Rename(folder_ / "KVUS.DAT", folder_ / "KVUS.DAT"), win_error::Success);
  EXPECT_TRUE(fs::exists(folder_.path() / "KVUS.DAT"));
  EXPECT_FALSE(fs::exists(folder_.path() / "kvus.dat"));
  EXPECT_EQ(files_.Rename(folder_ / "kvus.dat", folder_ / "Users.dat"), win_error::Success);
  EXPECT_EQ(ReadHostFile(folder_ / "Users.dat"), "users");
  EXPECT_EQ(files_.Rename(folder_ / "kvus.dat", folder_ / "x.dat"), win_error::FileNotFound);
  EXPECT_EQ(files_.Rename(folder_ / "users.dat", folder_ / "none/x.dat"), win_error::PathNotFound);
}

TEST_F(NativeFileSystemTest, RemoveFolderNeedsAnEmptyFolder) {
  WriteHostFile(folder_ / "Ostrel/Readme.txt", "text");
  EXPECT_EQ(files_.RemoveFolder(folder_ / "OSTREL"), win_error::DirNotEmpty);
  EXPECT_EQ(files_.RemoveFolder(folder_ / "ostrel/readme.txt"), win_error::AccessDenied);
  ASSERT_EQ(files_.Remove(folder_ / "ostrel/readme.txt"), win_error::Success);
  EXPECT_EQ(files_.RemoveFolder(folder_ / "OSTREL"), win_error::Success);
  EXPECT_FALSE(fs::exists(folder_.path() / "Ostrel"));
  EXPECT_EQ(files_.RemoveFolder(folder_ / "OSTREL"), win_error::FileNotFound);
}

TEST_F(NativeFileSystemTest, FullPathWorksFromTheCurrentFolderWithoutTheDisk) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_.path());
  std::string full;
  EXPECT_EQ(files_.FullPath("a/./b/../KVUS.DAT", full), win_error::Success);
  EXPECT_EQ(full, folder_.path().string() + "/a/KVUS.DAT");
  EXPECT_EQ(files_.FullPath("/x/../../y\\z", full), win_error::Success);
  EXPECT_EQ(full, "/y/z");
  EXPECT_EQ(files_.FullPath("", full), win_error::PathNotFound);
  fs::current_path(previous);
}

TEST_F(NativeFileSystemTest, VolumeFileSystemNamesTheHostMount) {
  std::string name;
  EXPECT_EQ(files_.VolumeFileSystem(folder_.path().string(), name), win_error::Success);
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(name, Upper(name));
  EXPECT_EQ(files_.VolumeFileSystem("/proc", name), win_error::Success);
  EXPECT_EQ(name, "PROC");
  EXPECT_EQ(files_.VolumeFileSystem(folder_ / "none", name), win_error::PathNotFound);
}

}  // namespace
}  // namespace platform
