// Windows paths on the drive folders of a simulated machine.
#include "platform/sim/sim_file_system.hpp"

#include <gtest/gtest.h>
#include <strings.h>

#include <memory>
#include <set>
#include <string>

#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

using platform::testing::ReadHostFile;
using platform::testing::TempFolder;
using platform::testing::WriteHostFile;
namespace fs = std::filesystem;

constexpr std::uint32_t kReadWrite = file_access::GenericRead | file_access::GenericWrite;

class SimFileSystemTest : public ::testing::Test {
 protected:
  SimFileSystemTest() {
    context_.machineFolder = machine_.path();
    context_.drives = {{'C', DriveKind::Fixed, "FAT", machine_.path() / "drives/C"},
                       {'D', DriveKind::CdRom, "CDFS", machine_.path() / "drives/D"},
                       {'E', DriveKind::Fixed, "NTFS", machine_.path() / "drives/E"}};
    context_.currentFolder = "C:\\SETUP";
    context_.windowsFolder = "C:\\WINDOWS";
    context_.systemFolder = "C:\\WINDOWS\\SYSTEM";
    context_.tempFolder = "C:\\WINDOWS\\TEMP";
    context_.isRunningExecutable = [this](const std::string& path) {
      for (const std::string& running : running_) {
        if (strcasecmp(running.c_str(), path.c_str()) == 0) return true;
      }
      return false;
    };
    fs::create_directories(machine_.path() / "drives/C/Windows/System");
    fs::create_directories(machine_.path() / "drives/C/Setup");
    fs::create_directories(machine_.path() / "drives/E");
  }

  fs::path Drive(char letter) const { return machine_.path() / "drives" / std::string(1, letter); }

  TempFolder machine_;
  SimContext context_;
  std::set<std::string> running_;
  SimFileSystem files_{context_};
};

TEST_F(SimFileSystemTest, WindowsPathsLandOnTheDriveFolders) {
  WriteHostFile(Drive('C') / "Windows/System/kvus.dat", "users");
  EXPECT_EQ(files_.HostPath("C:\\WINDOWS\\SYSTEM\\KVUS.DAT"),
            (Drive('C') / "Windows/System/kvus.dat").string());
  EXPECT_EQ(files_.HostPath("c:/windows/system/Kvus.dat"),
            (Drive('C') / "Windows/System/kvus.dat").string());
  EXPECT_EQ(files_.HostPath("C:\\SETUP\\..\\WINDOWS\\.\\SYSTEM\\KVUS.DAT."),
            (Drive('C') / "Windows/System/kvus.dat").string());
  EXPECT_EQ(files_.HostPath("Q:\\KVUS.DAT"), "");
  std::unique_ptr<File> file;
  ASSERT_EQ(files_.Open("c:\\Windows\\SYSTEM\\KVUS.DAT", file_access::GenericRead,
                        file_share::ReadWrite, Disposition::OpenExisting, file),
            win_error::Success);
  char buffer[8];
  std::uint32_t done = 0;
  ASSERT_EQ(file->ReadAt(0, buffer, sizeof buffer, done), win_error::Success);
  EXPECT_EQ(std::string(buffer, done), "users");
}

TEST_F(SimFileSystemTest, RelativePathsStartAtTheCurrentFolder) {
  WriteHostFile(Drive('C') / "Setup/KV015.dat", "sites");
  WriteHostFile(Drive('C') / "readme.txt", "root");
  EXPECT_TRUE(files_.Exists("kv015.dat"));
  EXPECT_TRUE(files_.Exists(".\\KV015.DAT"));
  EXPECT_TRUE(files_.Exists("..\\README.TXT"));
  EXPECT_TRUE(files_.Exists("\\readme.txt"));
  EXPECT_TRUE(files_.Exists("C:kv015.dat"));
  context_.currentFolder = "C:\\";
  EXPECT_FALSE(files_.Exists("kv015.dat"));
  EXPECT_TRUE(files_.Exists("setup\\kv015.dat"));
  EXPECT_TRUE(files_.Exists("..\\..\\readme.txt"));
}

TEST_F(SimFileSystemTest, FullPathIsTheNormalisedWindowsPath) {
  struct Case {
    const char* path;
    const char* full;
  };
  const Case cases[] = {{"KV015.dat", "C:\\SETUP\\KV015.dat"},
                        {"..\\Windows\\System", "C:\\Windows\\System"},
                        {"\\", "C:\\"},
                        {"..\\..\\..", "C:\\"},
                        {"c:/a/./b/", "C:\\a\\b\\"},
                        {"E:data", "E:\\data"},
                        {"C:data", "C:\\SETUP\\data"},
                        {"D:\\Setup.exe", "D:\\Setup.exe"}};
  for (const Case& c : cases) {
    std::string full;
    EXPECT_EQ(files_.FullPath(c.path, full), win_error::Success) << c.path;
    EXPECT_EQ(full, c.full) << c.path;
  }
  std::string full;
  EXPECT_EQ(files_.FullPath("", full), win_error::PathNotFound);
  EXPECT_EQ(files_.FullPath("\\\\server\\share\\x", full), win_error::PathNotFound);
  EXPECT_EQ(files_.FullPath("C:\\a|b", full), win_error::InvalidName);
}

TEST_F(SimFileSystemTest, UnknownDriveAndBadNamesAreRefused) {
  std::unique_ptr<File> file;
  EXPECT_EQ(
      files_.Open("Q:\\KVUS.DAT", kReadWrite, file_share::None, Disposition::CreateAlways, file),
      win_error::PathNotFound);
  EXPECT_EQ(
      files_.Open("C:\\KV<1>.DAT", kReadWrite, file_share::None, Disposition::CreateAlways, file),
      win_error::InvalidName);
  EXPECT_EQ(
      files_.Open("C:\\KV*.DAT", kReadWrite, file_share::None, Disposition::CreateAlways, file),
      win_error::InvalidName);
  EXPECT_EQ(files_.MakeFolder("Q:\\Ostrel"), win_error::PathNotFound);
  std::uint32_t attributes = 0;
  EXPECT_EQ(files_.Attributes("Q:\\", attributes), win_error::PathNotFound);
  EXPECT_EQ(attributes, file_attribute::Invalid);
}

TEST_F(SimFileSystemTest, CdRomWithoutMediaIsNotReady) {
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open("D:\\SETUP.EXE", file_access::GenericRead, file_share::Read,
                        Disposition::OpenExisting, file),
            win_error::NotReady);
  std::vector<FindData> found;
  EXPECT_EQ(files_.Find("D:\\*.*", found), win_error::NotReady);
  std::string name;
  EXPECT_EQ(files_.VolumeFileSystem("D:\\", name), win_error::NotReady);
  EXPECT_FALSE(files_.Exists("D:\\"));
}

TEST_F(SimFileSystemTest, CdRomWithMediaReadsButRefusesChanges) {
  WriteHostFile(Drive('D') / "KVconf.dat", "conf");
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open("D:\\KVCONF.DAT", file_access::GenericRead, file_share::Read,
                        Disposition::OpenExisting, file),
            win_error::Success);
  file.reset();
  EXPECT_EQ(
      files_.Open("D:\\KVCONF.DAT", kReadWrite, file_share::Read, Disposition::OpenExisting, file),
      win_error::AccessDenied);
  EXPECT_EQ(files_.Open("D:\\NEW.DAT", file_access::GenericRead, file_share::Read,
                        Disposition::OpenAlways, file),
            win_error::AccessDenied);
  EXPECT_EQ(files_.Copy("D:\\KVCONF.DAT", "C:\\WINDOWS\\SYSTEM\\KVconf.dat", false),
            win_error::Success);
  EXPECT_EQ(files_.Copy("C:\\WINDOWS\\SYSTEM\\KVconf.dat", "D:\\copy.dat", false),
            win_error::AccessDenied);
  EXPECT_EQ(files_.Remove("D:\\KVCONF.DAT"), win_error::AccessDenied);
  EXPECT_EQ(files_.MakeFolder("D:\\Ostrel"), win_error::AccessDenied);
  EXPECT_EQ(files_.Rename("D:\\KVCONF.DAT", "D:\\x.dat"), win_error::AccessDenied);
  EXPECT_EQ(ReadHostFile(Drive('D') / "KVconf.dat"), "conf");
  EXPECT_FALSE(fs::exists(Drive('D') / "Ostrel"));
}

TEST_F(SimFileSystemTest, VolumeFileSystemComesFromTheDriveTable) {
  std::string name;
  EXPECT_EQ(files_.VolumeFileSystem("C:\\", name), win_error::Success);
  EXPECT_EQ(name, "FAT");
  EXPECT_EQ(files_.VolumeFileSystem("e:\\", name), win_error::Success);
  EXPECT_EQ(name, "NTFS");
  WriteHostFile(Drive('D') / "x", "");
  EXPECT_EQ(files_.VolumeFileSystem("D:\\", name), win_error::Success);
  EXPECT_EQ(name, "CDFS");
  EXPECT_EQ(files_.VolumeFileSystem("Q:\\", name), win_error::PathNotFound);
}

TEST_F(SimFileSystemTest, RunningExecutableCannotBeOverwrittenOrDeleted) {
  WriteHostFile(Drive('C') / "Setup/Qalvint.exe", "new");
  WriteHostFile(Drive('C') / "Windows/System/QALVINT.EXE", "old");
  running_.insert("C:\\WINDOWS\\SYSTEM\\QALVINT.EXE");
  EXPECT_EQ(files_.Copy("Qalvint.exe", "c:\\windows\\system\\qalvint.exe", false),
            win_error::SharingViolation);
  EXPECT_EQ(files_.Copy("Qalvint.exe", "C:\\WINDOWS\\SYSTEM\\Qalvint.exe", true),
            win_error::FileExists);
  EXPECT_EQ(files_.Copy("Missing.exe", "C:\\WINDOWS\\SYSTEM\\Qalvint.exe", false),
            win_error::FileNotFound);
  EXPECT_EQ(files_.Remove("\\WINDOWS\\SYSTEM\\QALVINT.EXE"), win_error::AccessDenied);
  std::unique_ptr<File> file;
  EXPECT_EQ(files_.Open("C:\\WINDOWS\\SYSTEM\\QALVINT.EXE", kReadWrite, file_share::ReadWrite,
                        Disposition::OpenExisting, file),
            win_error::SharingViolation);
  EXPECT_EQ(files_.Open("C:\\WINDOWS\\SYSTEM\\QALVINT.EXE", file_access::GenericRead,
                        file_share::ReadWrite, Disposition::OpenExisting, file),
            win_error::Success);
  file.reset();
  EXPECT_EQ(ReadHostFile(Drive('C') / "Windows/System/QALVINT.EXE"), "old");

  running_.clear();
  EXPECT_EQ(files_.Copy("Qalvint.exe", "c:\\windows\\system\\qalvint.exe", false),
            win_error::Success);
  EXPECT_EQ(ReadHostFile(Drive('C') / "Windows/System/QALVINT.EXE"), "new");
}

TEST_F(SimFileSystemTest, FindListsAFolderLikeWindows) {
  WriteHostFile(Drive('C') / "Windows/System/KV015.dat", "sites");
  WriteHostFile(Drive('C') / "Windows/System/kvus.DAT", "users");
  WriteHostFile(Drive('C') / "Windows/System/nfd.sys", "driver");
  fs::create_directories(Drive('C') / "Windows/System/IOSUBSYS");
  std::vector<FindData> found;
  ASSERT_EQ(files_.Find("C:\\WINDOWS\\SYSTEM\\*.", found), win_error::Success);
  std::vector<std::string> names;
  for (const FindData& entry : found)
    names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "IOSUBSYS"}));
  EXPECT_EQ(found[0].attributes, file_attribute::Directory);

  ASSERT_EQ(files_.Find("\\windows\\system\\*.dat", found), win_error::Success);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "KV015.dat");
  EXPECT_EQ(found[1].name, "kvus.DAT");
  EXPECT_EQ(found[1].size, 5u);

  // A drive root has no "." and "..".
  ASSERT_EQ(files_.Find("C:\\*.*", found), win_error::Success);
  names.clear();
  for (const FindData& entry : found)
    names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Setup", "Windows"}));

  EXPECT_EQ(files_.Find("C:\\WINDOWS\\", found), win_error::FileNotFound);
  EXPECT_EQ(files_.Find("C:\\NOWHERE\\*.*", found), win_error::PathNotFound);
  EXPECT_EQ(files_.Find("C:\\WINDOWS\\*.wav", found), win_error::FileNotFound);
}

TEST_F(SimFileSystemTest, FindGivesTheLastWriteTimeOfOneFile) {
  WriteHostFile(Drive('C') / "Setup/KV015.dat", "sites");
  const auto stamp = fs::last_write_time(Drive('C') / "Setup/KV015.dat") - std::chrono::hours(48);
  fs::last_write_time(Drive('C') / "Setup/KV015.dat", stamp);
  std::vector<FindData> found;
  ASSERT_EQ(files_.Find("C:\\SETUP\\kv015.DAT", found), win_error::Success);
  ASSERT_EQ(found.size(), 1u);
  std::vector<FindData> later;
  WriteHostFile(Drive('C') / "Setup/KV025.dat", "sites");
  ASSERT_EQ(files_.Find("kv025.dat", later), win_error::Success);
  ASSERT_EQ(later.size(), 1u);
  // Two days apart, in 100 ns steps.
  const FileTime twoDays = 2ull * 24 * 3600 * 10'000'000;
  EXPECT_NEAR(static_cast<double>(later[0].lastWriteTime - found[0].lastWriteTime),
              static_cast<double>(twoDays), 60.0 * 10'000'000);
}

TEST_F(SimFileSystemTest, FoldersAreMadeWithParentsAndKeepTheirCase) {
  ASSERT_EQ(files_.MakeFolder("C:\\WINDOWS\\Start Menu\\Programs\\Ostrel"), win_error::Success);
  EXPECT_TRUE(fs::is_directory(Drive('C') / "Windows/Start Menu/Programs/Ostrel"));
  EXPECT_EQ(files_.MakeFolder("c:\\windows\\start menu\\programs\\ostrel"), win_error::Success);
  EXPECT_EQ(files_.RemoveFolder("C:\\WINDOWS\\START MENU\\PROGRAMS\\OSTREL"), win_error::Success);
  EXPECT_FALSE(fs::exists(Drive('C') / "Windows/Start Menu/Programs/Ostrel"));
  EXPECT_EQ(files_.RemoveFolder("C:\\"), win_error::AccessDenied);
}

}  // namespace
}  // namespace platform::sim
