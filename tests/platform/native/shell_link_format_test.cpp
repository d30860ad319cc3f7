// Link files checked byte by byte and read back by an independent reader (lnkinfo).
#include "platform/native/shell_link_format.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/exception.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
         std::uint32_t(bytes[offset + 3]) << 24;
}

ShellLinkData UninstallerLink() {
  ShellLinkData link;
  link.path = "OsUninstall.exe";
  link.arguments = "C:\\WINDOWS\\SYSTEM\\OsUninstall.exe";
  link.workingFolder = "C:\\WINDOWS\\SYSTEM";
  return link;
}

TEST(ShellLinkFormatTest, HeaderHasTheLinkClassAndTheFlagsOfWhatFollows) {
  const std::vector<std::uint8_t> bytes = ShellLinkBytes(UninstallerLink());
  ASSERT_GE(bytes.size(), 76u);
  EXPECT_EQ(U32At(bytes, 0), 0x4Cu);
  const std::vector<std::uint8_t> classId(bytes.begin() + 4, bytes.begin() + 20);
  EXPECT_EQ(classId, (std::vector<std::uint8_t>{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}));
  // Relative path, working folder and arguments; no LinkInfo, no name, ANSI strings.
  EXPECT_EQ(U32At(bytes, 20), 0x08u | 0x10u | 0x20u);
  EXPECT_EQ(U32At(bytes, 60), 1u);  // SW_SHOWNORMAL
  // Counted strings start right after the header, the extra data ends with a zero block.
  EXPECT_EQ(bytes[76] | bytes[77] << 8, 15);
  EXPECT_EQ(std::string(bytes.begin() + 78, bytes.begin() + 93), "OsUninstall.exe");
  EXPECT_EQ(U32At(bytes, bytes.size() - 4), 0u);
  EXPECT_EQ(bytes.size(), 76u + 2 + 15 + 2 + 17 + 2 + 33 + 4);
}

TEST(ShellLinkFormatTest, ShowCommandIsOneOfTheThreeAShortcutKeeps) {
  const std::pair<int, std::uint32_t> cases[] = {
      {show_mode::ShowNormal, 1},      {show_mode::ShowMaximized, 3}, {show_mode::ShowMinimized, 7},
      {show_mode::ShowMinNoActive, 7}, {show_mode::Hide, 1},          {show_mode::ShowDefault, 1}};
  for (const auto& [given, stored] : cases) {
    ShellLinkData link = UninstallerLink();
    link.showCommand = given;
    EXPECT_EQ(U32At(ShellLinkBytes(link), 60), stored) << "show command " << given;
  }
}

TEST(ShellLinkFormatTest, AbsolutePathGoesIntoTheLinkInfo) {
  ShellLinkData link;
  link.path = "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp";
  const std::vector<std::uint8_t> bytes = ShellLinkBytes(link);
  EXPECT_EQ(U32At(bytes, 20), 0x02u);
  const std::size_t info = 76;
  const std::uint32_t size = U32At(bytes, info);
  EXPECT_EQ(info + size + 4, bytes.size());
  const std::uint32_t basePath = U32At(bytes, info + 16);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[info + basePath])), link.path);
  const std::uint32_t volume = U32At(bytes, info + 12);
  EXPECT_EQ(U32At(bytes, info + volume + 4), 3u);  // DRIVE_FIXED
}

TEST(ShellLinkFormatTest, OverlongTextIsRefused) {
  ShellLinkData link = UninstallerLink();
  link.arguments.assign(70000, 'x');
  EXPECT_THROW(ShellLinkBytes(link), Exception);
}

// The "Name : value" lines lnkinfo prints about a link file, or nothing when the tool is not
// installed or fails.
std::map<std::string, std::string> ReadWithLnkinfo(const std::string& path, int& exitCode) {
  std::map<std::string, std::string> fields;
  const std::string command = "lnkinfo '" + path + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return fields;
  std::string output;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe.get()))
    output += buffer;
  exitCode = pclose(pipe.release());
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    name.erase(0, name.find_first_not_of("\t "));
    name.erase(name.find_last_not_of("\t ") + 1);
    fields[name] = line.substr(colon + 2);
  }
  return fields;
}

bool LnkinfoInstalled() {
  return std::system("command -v lnkinfo >/dev/null 2>&1") == 0;
}

void WriteLink(const std::string& path, const ShellLinkData& link) {
  const std::vector<std::uint8_t> bytes = ShellLinkBytes(link);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(ShellLinkFormatTest, LnkinfoReadsTheUninstallerShortcut) {
  if (!LnkinfoInstalled()) GTEST_SKIP() << "lnkinfo (Debian package liblnk-utils) is not installed";
  testing::TempFolder folder;
  WriteLink(folder / "OsUninstall.lnk", UninstallerLink());
  int exitCode = -1;
  const auto fields = ReadWithLnkinfo(folder / "OsUninstall.lnk", exitCode);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(fields.count("Local path"), 0u);
  EXPECT_EQ(fields.count("Description"), 0u);
  ASSERT_EQ(fields.count("Relative path"), 1u);
  EXPECT_EQ(fields.at("Relative path"), "OsUninstall.exe");
  EXPECT_EQ(fields.at("Working directory"), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(fields.at("Command line arguments"), "C:\\WINDOWS\\SYSTEM\\OsUninstall.exe");
}

TEST(ShellLinkFormatTest, LnkinfoReadsAnAbsoluteTargetWithADescription) {
  if (!LnkinfoInstalled()) GTEST_SKIP() << "lnkinfo (Debian package liblnk-utils) is not installed";
  testing::TempFolder folder;
  ShellLinkData link;
  link.path = "C:\\WINDOWS\\SYSTEM\\Oshelp.hlp";
  link.workingFolder = "C:\\WINDOWS\\SYSTEM";
  link.description = "Korvane Help";
  WriteLink(folder / "Oshelp.lnk", link);
  int exitCode = -1;
  const auto fields = ReadWithLnkinfo(folder / "Oshelp.lnk", exitCode);
  EXPECT_EQ(exitCode, 0);
  ASSERT_EQ(fields.count("Local path"), 1u);
  EXPECT_EQ(fields.at("Local path"), link.path);
  EXPECT_EQ(fields.at("Drive type"), "Fixed (3)");
  EXPECT_EQ(fields.at("Description"), "Korvane Help");
  EXPECT_EQ(fields.at("Working directory"), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(fields.count("Relative path"), 0u);
  EXPECT_EQ(fields.count("Command line arguments"), 0u);
}

}  // namespace
}  // namespace platform
