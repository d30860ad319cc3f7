#include "platform/native/windows_path.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Components = std::vector<std::string>;

TEST(WindowsPathTest, TakesPathsApartAgainstTheCurrentFolder) {
  struct Case {
    const char* path;
    char drive;
    Components components;
    bool trailing;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\SYSTEM\\KVUS.DAT", 'C', {"WINDOWS", "SYSTEM", "KVUS.DAT"}, false},
      {"c:/windows//system/", 'C', {"windows", "system"}, true},
      {"KVUS.DAT", 'C', {"SETUP", "KVUS.DAT"}, false},
      {"..\\..\\..\\x", 'C', {"x"}, false},
      {"\\x\\.\\y\\..", 'C', {"x"}, false},
      {"d:rel", 'D', {"rel"}, false},
      {"C:rel", 'C', {"SETUP", "rel"}, false},
      {"C:\\KV015.DAT. .", 'C', {"KV015.DAT"}, false},
      {"C:\\", 'C', {}, false},
  };
  for (const Case& c : cases) {
    WindowsPath parsed;
    ASSERT_EQ(ParseWindowsPath(c.path, "C:\\SETUP", LastPart::Name, parsed), win_error::Success)
        << c.path;
    EXPECT_EQ(parsed.drive, c.drive) << c.path;
    EXPECT_EQ(parsed.components, c.components) << c.path;
    EXPECT_EQ(parsed.trailingSeparator, c.trailing) << c.path;
  }
}

TEST(WindowsPathTest, PatternKeepsItsLastPartAsWritten) {
  WindowsPath parsed;
  ASSERT_EQ(ParseWindowsPath("C:\\WINDOWS.\\*.", "C:\\", LastPart::Pattern, parsed),
            win_error::Success);
  EXPECT_EQ(parsed.components, (Components{"WINDOWS", "*."}));
  EXPECT_EQ(ParseWindowsPath("C:\\WIN*\\*.", "C:\\", LastPart::Pattern, parsed),
            win_error::InvalidName);
  EXPECT_EQ(ParseWindowsPath("C:\\*.dat", "C:\\", LastPart::Name, parsed), win_error::InvalidName);
}

TEST(WindowsPathTest, RefusesWhatNamesNoPlace) {
  WindowsPath parsed;
  EXPECT_EQ(ParseWindowsPath("", "C:\\", LastPart::Name, parsed), win_error::PathNotFound);
  EXPECT_EQ(ParseWindowsPath("\\\\server\\share", "C:\\", LastPart::Name, parsed),
            win_error::PathNotFound);
  EXPECT_EQ(ParseWindowsPath("relative", "", LastPart::Name, parsed), win_error::PathNotFound);
  for (const char* bad : {"C:\\a<b", "C:\\a>b", "C:\\a\"b", "C:\\a|b", "C:\\a:b", "C:\\a\tb"}) {
    EXPECT_EQ(ParseWindowsPath(bad, "C:\\", LastPart::Name, parsed), win_error::InvalidName) << bad;
  }
}

TEST(WindowsPathTest, TextIsTheFullPath) {
  WindowsPath parsed;
  ASSERT_EQ(ParseWindowsPath("a\\b\\", "E:\\DATA", LastPart::Name, parsed), win_error::Success);
  EXPECT_EQ(parsed.Text(), "E:\\DATA\\a\\b\\");
  ASSERT_EQ(ParseWindowsPath("\\", "E:\\DATA", LastPart::Name, parsed), win_error::Success);
  EXPECT_EQ(parsed.Text(), "E:\\");
}

}  // namespace
}  // namespace platform
