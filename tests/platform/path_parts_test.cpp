#include "platform/path_parts.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

// A path and the parts it is taken apart into.
struct Parts {
  const char* path;
  std::size_t root;
  const char* folder;
  const char* name;
  const char* extension;
  const char* stem;
};

TEST(PathParts, EachKindOfPathTakenApart) {
  const Parts rows[] = {
      {"C:\\KVSETUP\\SETUP.EXE", 3, "C:\\KVSETUP", "SETUP.EXE", ".EXE", "SETUP"},
      {"c:/kvsetup/setup.exe", 3, "c:/kvsetup", "setup.exe", ".exe", "setup"},
      {"C:\\KVSETUP/SETUP.EXE", 3, "C:\\KVSETUP", "SETUP.EXE", ".EXE", "SETUP"},
      // A drive's root keeps its separator; a trailing one leaves no name.
      {"C:\\SETUP.EXE", 3, "C:\\", "SETUP.EXE", ".EXE", "SETUP"},
      {"C:\\", 3, "C:\\", "", "", ""},
      {"C:\\KVSETUP\\", 3, "C:\\KVSETUP", "", "", ""},
      // Drive-relative and current-drive roots.
      {"C:SETUP.EXE", 2, "C:", "SETUP.EXE", ".EXE", "SETUP"},
      {"C:", 2, "C:", "", "", ""},
      {"\\SETUP.EXE", 1, "\\", "SETUP.EXE", ".EXE", "SETUP"},
      // A network share is a root without its following separator.
      {"\\\\server\\share\\SETUP.EXE", 14, "\\\\server\\share", "SETUP.EXE", ".EXE", "SETUP"},
      {"//server/share/KV/SETUP.EXE", 14, "//server/share/KV", "SETUP.EXE", ".EXE", "SETUP"},
      {"\\\\server\\share", 14, "\\\\server\\share", "", "", ""},
      {"\\\\server", 8, "\\\\server", "", "", ""},
      // Relative paths; only the last name has an extension.
      {"SETUP.EXE", 0, "", "SETUP.EXE", ".EXE", "SETUP"},
      {"DATA.D\\KVUS", 0, "DATA.D", "KVUS", "", "KVUS"},
      {"KVUS.", 0, "", "KVUS.", ".", "KVUS"},
      {"ARCHIVE.TAR.GZ", 0, "", "ARCHIVE.TAR.GZ", ".GZ", "ARCHIVE.TAR"},
      {"1:\\X", 0, "1:", "X", "", "X"},
      {"", 0, "", "", "", ""},
  };
  for (const Parts& row : rows) {
    EXPECT_EQ(PathRootLength(row.path), row.root) << row.path;
    EXPECT_EQ(PathFolder(row.path), row.folder) << row.path;
    EXPECT_EQ(PathFileName(row.path), row.name) << row.path;
    EXPECT_EQ(PathExtension(row.path), row.extension) << row.path;
    EXPECT_EQ(PathStem(row.path), row.stem) << row.path;
  }
}

TEST(PathParts, KindsOfRoot) {
  EXPECT_TRUE(HasDriveRoot("C:/X"));
  EXPECT_FALSE(HasDriveRoot("C:X"));
  EXPECT_TRUE(HasDriveLetter("C:X"));
  EXPECT_FALSE(HasDriveLetter("\\\\server\\share"));
  EXPECT_TRUE(IsNetworkPath("//server/share"));
  EXPECT_FALSE(IsNetworkPath("\\"));
}

// A pair of texts that go in and the text that comes out.
struct Combined {
  const char* first;
  const char* second;
  const char* result;
};

TEST(PathParts, ExtensionIsReplacedOrAdded) {
  const Combined rows[] = {
      {"C:\\DATA\\KVUS.DAT", "FPT", "C:\\DATA\\KVUS.FPT"},
      {"C:\\DATA.D\\KVUS", "DBT", "C:\\DATA.D\\KVUS.DBT"},
      {"KVUS.", "CDX", "KVUS.CDX"},
      {"C:KVUS", "CDX", "C:KVUS.CDX"},
  };
  for (const Combined& row : rows)
    EXPECT_EQ(PathWithExtension(row.first, row.second), row.result) << row.first;
}

TEST(PathParts, JoinPutsOneSeparatorBetween) {
  const Combined rows[] = {
      {"C:\\WINDOWS", "WIN.INI", "C:\\WINDOWS\\WIN.INI"},
      {"C:\\WINDOWS\\", "WIN.INI", "C:\\WINDOWS\\WIN.INI"},
      {"C:\\", "WIN.INI", "C:\\WIN.INI"},
      {"C:", "WIN.INI", "C:\\WIN.INI"},
      {"\\\\server\\share", "WIN.INI", "\\\\server\\share\\WIN.INI"},
      {"/tmp/", "WIN.INI", "/tmp/WIN.INI"},
      {"", "WIN.INI", "WIN.INI"},
  };
  for (const Combined& row : rows)
    EXPECT_EQ(PathJoin(row.first, row.second), row.result) << row.first;
}

TEST(PathParts, TrailingSeparatorsGoButARootStays) {
  const std::pair<const char*, const char*> rows[] = {
      {"C:\\KVSETUP\\", "C:\\KVSETUP"},
      {"C:\\KVSETUP\\\\/", "C:\\KVSETUP"},
      {"C:\\", "C:\\"},
      {"C:\\\\", "C:\\"},
      {"\\", "\\"},
      {"\\\\server\\share\\", "\\\\server\\share"},
      {"KVSETUP", "KVSETUP"},
      {"", ""},
  };
  for (const auto& [path, result] : rows)
    EXPECT_EQ(WithoutTrailingSeparators(path), result) << path;
  EXPECT_EQ(WithTrailingSeparator("C:\\TEMP"), "C:\\TEMP\\");
  EXPECT_EQ(WithTrailingSeparator("C:\\TEMP\\"), "C:\\TEMP\\");
  EXPECT_EQ(WithTrailingSeparator("/tmp/"), "/tmp/");
  EXPECT_EQ(WithTrailingSeparator(""), "");
}

}  // namespace
}  // namespace platform
