#include "platform/native/ini_section.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(IniSectionTest, ReadsTheNamedSectionInFileOrder) {
  const std::string text =
      "; engine configuration\r\n"
      "stray=before any section\r\n"
      "[Other]\r\n"
      "DATA=c:\\other\r\n"
      "[ alias ]\r\n"
      "DATA = C:\\KORVANE\\DATA \r\n"
      "; a comment\r\n"
      "\r\n"
      "Setup=C:\\SETUP\r\n"
      "bare\r\n"
      "[Alias]\r\n"
      "LATER=ignored\r\n";
  EXPECT_EQ(IniSectionEntries(text, "ALIAS"),
            (Entries{{"DATA", "C:\\KORVANE\\DATA"}, {"Setup", "C:\\SETUP"}, {"bare", ""}}));
  EXPECT_EQ(IniSectionEntries(text, "other"), (Entries{{"DATA", "c:\\other"}}));
}

TEST(IniSectionTest, MissingSectionOrTextGivesNothing) {
  EXPECT_TRUE(IniSectionEntries("[Alias]\nA=1\n", "Paths").empty());
  EXPECT_TRUE(IniSectionEntries("", "Alias").empty());
  EXPECT_EQ(IniSectionEntries("[Alias]\nA=1", "Alias"), (Entries{{"A", "1"}}));
}

}  // namespace
}  // namespace platform
