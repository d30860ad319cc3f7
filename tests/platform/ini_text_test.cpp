#include "platform/ini_text.hpp"

#include <gtest/gtest.h>

#include "platform/exception.hpp"

namespace platform {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(IniText, LenientSectionReadingKeepsWhatWindowsKeeps) {
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
      "=no key\r\n"
      "[Alias]\r\n"
      "LATER=ignored\r\n";
  EXPECT_EQ(
      IniSectionEntries(text, "ALIAS"),
      (Entries{
          {"DATA", "C:\\KORVANE\\DATA"}, {"Setup", "C:\\SETUP"}, {"bare", ""}, {"", "no key"}}));
  EXPECT_EQ(IniSectionEntries(text, "other"), (Entries{{"DATA", "c:\\other"}}));
}

TEST(IniText, LenientSectionLinesEndAtTheirLastBracketOrTheLine) {
  EXPECT_EQ(IniSectionEntries("[Alias] old\nA=1\n", "Alias"), (Entries{{"A", "1"}}));
  EXPECT_EQ(IniSectionEntries("[Alias\nA=1\n", "Alias"), (Entries{{"A", "1"}}));
  EXPECT_EQ(IniSectionEntries("[Paths]\nP=1\n[Alias\nA=1\n", "Paths"), (Entries{{"P", "1"}}));
}

TEST(IniText, MissingSectionOrTextGivesNothing) {
  EXPECT_TRUE(IniSectionEntries("[Alias]\nA=1\n", "Paths").empty());
  EXPECT_TRUE(IniSectionEntries("", "Alias").empty());
  EXPECT_EQ(IniSectionEntries("[Alias]\nA=1", "Alias"), (Entries{{"A", "1"}}));
}

TEST(IniText, StrictReadingNamesTheSourceAndLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"A=1\n", "processes.ini, line 1: an entry comes before any [section] line"},
      {"[S]\n\n[T\n", "processes.ini, line 3: a section line must end with \"]\""},
      {"[S]\nword\n", "processes.ini, line 2: \"key=value\" expected, found \"word\""},
      {"[S]\n =1\n", "processes.ini, line 2: an entry without a key"},
  };
  for (const auto& c : cases) {
    try {
      ParseIni(c.text, "processes.ini");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(IniText, WrittenDocumentsReadBackWithTheirLines) {
  IniDocument document;
  IniSection& first = document.AddSection("Process 260");
  first.Add("Path", "C:\\WINNT\\Explorer.EXE");
  first.Add("Window1", "0x00010014,no,Program Manager");
  document.AddSection("Messages").Add("KorvaneStop", "0x0000C000");
  const std::string text = document.Write("first line\nsecond line");
  EXPECT_EQ(text,
            "; first line\r\n; second line\r\n\r\n[Process 260]\r\n"
            "Path=C:\\WINNT\\Explorer.EXE\r\nWindow1=0x00010014,no,Program Manager\r\n"
            "\r\n[Messages]\r\nKorvaneStop=0x0000C000\r\n");
  const IniDocument read = ParseIni(text, "processes.ini");
  ASSERT_EQ(read.sections.size(), 2u);
  const IniSection* process = read.Find("PROCESS 260");
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(process->line, 4);
  ASSERT_NE(process->Find("window1"), nullptr);
  EXPECT_EQ(process->Find("window1")->value, "0x00010014,no,Program Manager");
  EXPECT_EQ(process->Find("window1")->line, 6);
  EXPECT_EQ(read.Find("Missing"), nullptr);
}

TEST(IniText, NumbersAreDecimalOrHexadecimal) {
  EXPECT_EQ(ParseIniNumber("0"), 0u);
  EXPECT_EQ(ParseIniNumber("2195"), 2195u);
  EXPECT_EQ(ParseIniNumber("0x040A07CE"), 0x040A07CEu);
  EXPECT_EQ(ParseIniNumber("0XffFFffFF"), 0xFFFFFFFFu);
  for (const char* bad : {"", "0x", "-1", "12a", "0x1G", "4294967296", "0x100000000", " 1"})
    EXPECT_FALSE(ParseIniNumber(bad).has_value()) << bad;
  EXPECT_EQ(IniHex(0xC000), "0x0000C000");
  EXPECT_EQ(ParseIniNumber(IniHex(0xFFFFFFFF)), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace platform
