#include "platform/path_parts.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(PathParts, RootsOfEachKind) {
  EXPECT_EQ(PathRootLength("C:\\WINDOWS"), 3u);
  EXPECT_EQ(PathRootLength("c:/windows"), 3u);
  EXPECT_EQ(PathRootLength("C:"), 2u);
  EXPECT_EQ(PathRootLength("C:DATA\\KVUS.DAT"), 2u);
  EXPECT_EQ(PathRootLength("\\WINDOWS"), 1u);
  EXPECT_EQ(PathRootLength("\\\\server\\share\\data"), 14u);
  EXPECT_EQ(PathRootLength("//server/share"), 14u);
  EXPECT_EQ(PathRootLength("\\\\server"), 8u);
  EXPECT_EQ(PathRootLength("DATA\\KVUS.DAT"), 0u);
  EXPECT_EQ(PathRootLength("1:\\X"), 0u);
  EXPECT_EQ(PathRootLength(""), 0u);
  EXPECT_TRUE(HasDriveRoot("C:/X"));
  EXPECT_FALSE(HasDriveRoot("C:X"));
  EXPECT_TRUE(HasDriveLetter("C:X"));
  EXPECT_FALSE(HasDriveLetter("\\\\server\\share"));
  EXPECT_TRUE(IsNetworkPath("//server/share"));
  EXPECT_FALSE(IsNetworkPath("\\"));
}

TEST(PathParts, FolderKeepsTheSeparatorOfADriveRoot) {
  EXPECT_EQ(PathFolder("C:\\KVSETUP\\SETUP.EXE"), "C:\\KVSETUP");
  EXPECT_EQ(PathFolder("C:\\SETUP.EXE"), "C:\\");
  EXPECT_EQ(PathFolder("C:\\"), "C:\\");
  EXPECT_EQ(PathFolder("C:SETUP.EXE"), "C:");
  EXPECT_EQ(PathFolder("\\SETUP.EXE"), "\\");
  EXPECT_EQ(PathFolder("C:/KVSETUP/SETUP.EXE"), "C:/KVSETUP");
  EXPECT_EQ(PathFolder("C:\\KVSETUP\\"), "C:\\KVSETUP");
  EXPECT_EQ(PathFolder("SETUP.EXE"), "");
  EXPECT_EQ(PathFolder("DATA\\KVUS.DAT"), "DATA");
}

TEST(PathParts, FolderOfANetworkPathStopsAtTheShare) {
  EXPECT_EQ(PathFolder("\\\\server\\share\\SETUP.EXE"), "\\\\server\\share");
  EXPECT_EQ(PathFolder("\\\\server\\share\\KV\\SETUP.EXE"), "\\\\server\\share\\KV");
  EXPECT_EQ(PathFolder("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(PathFileName("\\\\server\\share"), "");
  EXPECT_EQ(PathFileName("\\\\server\\share\\SETUP.EXE"), "SETUP.EXE");
}

TEST(PathParts, FileNameIsTheLastNameAfterAnySeparatorOrRoot) {
  EXPECT_EQ(PathFileName("C:\\KVSETUP\\SETUP.EXE"), "SETUP.EXE");
  EXPECT_EQ(PathFileName("C:/KVSETUP/SETUP.EXE"), "SETUP.EXE");
  EXPECT_EQ(PathFileName("C:\\KVSETUP/SETUP.EXE"), "SETUP.EXE");
  EXPECT_EQ(PathFileName("C:SETUP.EXE"), "SETUP.EXE");
  EXPECT_EQ(PathFileName("SETUP.EXE"), "SETUP.EXE");
  EXPECT_EQ(PathFileName("C:\\KVSETUP\\"), "");
  EXPECT_EQ(PathFileName("C:\\"), "");
  EXPECT_EQ(PathFileName(""), "");
}

TEST(PathParts, ExtensionBelongsToTheLastNameOnly) {
  EXPECT_EQ(PathExtension("C:\\DATA\\KVUS.DAT"), ".DAT");
  EXPECT_EQ(PathExtension("C:\\DATA.D\\KVUS"), "");
  EXPECT_EQ(PathExtension("C:KVUS."), ".");
  EXPECT_EQ(PathExtension("ARCHIVE.TAR.GZ"), ".GZ");
  EXPECT_EQ(PathStem("C:\\DATA\\KVUS.DAT"), "KVUS");
  EXPECT_EQ(PathStem("C:\\DATA.D\\KVUS"), "KVUS");
  EXPECT_EQ(PathStem("C:\\DATA\\"), "");
}

TEST(PathParts, ExtensionIsReplacedOrAdded) {
  EXPECT_EQ(PathWithExtension("C:\\DATA\\KVUS.DAT", "FPT"), "C:\\DATA\\KVUS.FPT");
  EXPECT_EQ(PathWithExtension("C:\\DATA.D\\KVUS", "DBT"), "C:\\DATA.D\\KVUS.DBT");
  EXPECT_EQ(PathWithExtension("KVUS.", "CDX"), "KVUS.CDX");
  EXPECT_EQ(PathWithExtension("C:KVUS", "CDX"), "C:KVUS.CDX");
}

TEST(PathParts, JoinPutsOneSeparatorBetween) {
  EXPECT_EQ(PathJoin("C:\\WINDOWS", "WIN.INI"), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(PathJoin("C:\\WINDOWS\\", "WIN.INI"), "C:\\WINDOWS\\WIN.INI");
  EXPECT_EQ(PathJoin("C:\\", "WIN.INI"), "C:\\WIN.INI");
  EXPECT_EQ(PathJoin("C:", "WIN.INI"), "C:\\WIN.INI");
  EXPECT_EQ(PathJoin("/tmp/", "WIN.INI"), "/tmp/WIN.INI");
  EXPECT_EQ(PathJoin("", "WIN.INI"), "WIN.INI");
}

TEST(PathParts, TrailingSeparatorsGoButARootStays) {
  EXPECT_EQ(WithoutTrailingSeparators("C:\\KVSETUP\\"), "C:\\KVSETUP");
  EXPECT_EQ(WithoutTrailingSeparators("C:\\KVSETUP\\\\/"), "C:\\KVSETUP");
  EXPECT_EQ(WithoutTrailingSeparators("C:\\"), "C:\\");
  EXPECT_EQ(WithoutTrailingSeparators("C:\\\\"), "C:\\");
  EXPECT_EQ(WithoutTrailingSeparators("\\"), "\\");
  EXPECT_EQ(WithoutTrailingSeparators("\\\\server\\share\\"), "\\\\server\\share");
  EXPECT_EQ(WithoutTrailingSeparators("KVSETUP"), "KVSETUP");
  EXPECT_EQ(WithTrailingSeparator("C:\\TEMP"), "C:\\TEMP\\");
  EXPECT_EQ(WithTrailingSeparator("C:\\TEMP\\"), "C:\\TEMP\\");
  EXPECT_EQ(WithTrailingSeparator("/tmp/"), "/tmp/");
  EXPECT_EQ(WithTrailingSeparator(""), "");
}

}  // namespace
}  // namespace platform
