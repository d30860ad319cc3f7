#include <gtest/gtest.h>

#include "platform/code_pages.hpp"
#include "platform/exception.hpp"

namespace platform {
namespace {

struct KnownMapping {
  std::uint32_t codePage;
  std::uint8_t byte;
  char32_t character;
};

TEST(CodePageTables, KnownBytesMapToTheirCharacters) {
  const KnownMapping cases[] = {
      {1252, 0x41, U'A'},      {1252, 0x80, U'\u20AC'}, {1252, 0x9F, U'\u0178'},
      {1252, 0xE9, U'\u00E9'}, {1252, 0x81, 0xFFFD},    {437, 0x80, U'\u00C7'},
      {437, 0xE1, U'\u00DF'},  {437, 0xC9, U'\u2554'},  {850, 0xD5, U'\u0131'},
      {850, 0x9D, U'\u00D8'},  {437, 0x07, U'\u0007'},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CodePageToUnicode(c.codePage, c.byte), c.character)
        << "code page " << c.codePage << " byte " << int(c.byte);
}

TEST(CodePageTables, EveryDefinedByteRoundTrips) {
  for (std::uint32_t codePage : {1252u, 437u, 850u}) {
    for (int byte = 0; byte < 256; ++byte) {
      const char32_t c = CodePageToUnicode(codePage, static_cast<std::uint8_t>(byte));
      if (c == 0xFFFD) continue;
      EXPECT_EQ(UnicodeToCodePage(codePage, c), byte) << codePage << " " << byte;
    }
  }
}

TEST(CodePageTables, BestFitFallsBackToTheBaseLetterElseQuestionMark) {
  EXPECT_EQ(UnicodeToCodePage(437, U'\u00C3'), 'A');    // Ã is not in 437
  EXPECT_EQ(UnicodeToCodePage(1252, U'\u0107'), 'c');   // ć
  EXPECT_EQ(UnicodeToCodePage(437, U'\u01FB'), 0x86);   // ǻ -> å, which 437 has
  EXPECT_EQ(UnicodeToCodePage(1252, U'\u20AC'), 0x80);  // exact before best fit
  EXPECT_EQ(UnicodeToCodePage(437, U'\u20AC'), '?');    // no base letter
  EXPECT_EQ(UnicodeToCodePage(1252, U'\u4E2D'), '?');
}

TEST(CodePageTables, UnknownCodePageIsReported) {
  EXPECT_TRUE(KnownCodePage(850));
  EXPECT_FALSE(KnownCodePage(1251));
  EXPECT_THROW(CodePageToUnicode(1251, 0x41), Exception);
  EXPECT_THROW(TableCodePages(1252, 866), Exception);
}

TEST(CodePageTables, Utf8ConversionBothWays) {
  EXPECT_EQ(CodePageToUtf8(1252, "Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(Utf8ToCodePage(1252, "Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xE9 \x80");
  EXPECT_EQ(Utf8ToCodePage(437, "\xC3\xA9\xC4\x87"),
            "\x82"
            "c");
  // Malformed sequences become '?' and do not swallow what follows.
  EXPECT_EQ(Utf8ToCodePage(1252, "a\xC3"), "a?");
  EXPECT_EQ(Utf8ToCodePage(1252, "\xE2\x82x"), "?x");
  EXPECT_EQ(Utf8ToCodePage(1252, "\xC0\xAF"), "??");  // overlong
}

TEST(AnsiCasing, Windows1252PairsAsCharUpperBuffDoes) {
  TableCodePages pages(1252, 437);
  EXPECT_EQ(pages.Upper("abc\x9A\x9C\x9E\xFF\xE0\xFE"), "ABC\x8A\x8C\x8E\x9F\xC0\xDE");
  EXPECT_EQ(pages.Lower("ABC\x8A\x8C\x8E\x9F\xC0\xDE"), "abc\x9A\x9C\x9E\xFF\xE0\xFE");
  // division and multiplication signs, sharp s and micro sign have no partner
  EXPECT_EQ(pages.Upper("\xF7\xDF\xB5"), "\xF7\xDF\xB5");
  EXPECT_EQ(pages.Lower("\xD7"), "\xD7");
}

// Trailing blanks are passed over in blocks of eight: every letter before them, however
// many blanks follow, inside the text or at its end, is still cased.
TEST(AnsiCasing, TextsPaddedWithBlanksAreCasedUpToTheirLastLetter) {
  TableCodePages pages(1252, 437);
  for (std::size_t letters = 0; letters <= 17; ++letters) {
    for (std::size_t blanks = 0; blanks <= 17; ++blanks) {
      const std::string lower = std::string(letters, 'q') + "  x" + std::string(blanks, ' ');
      const std::string upper = std::string(letters, 'Q') + "  X" + std::string(blanks, ' ');
      std::string text = lower;
      pages.CharUpper(text.data(), text.size());
      EXPECT_EQ(text, upper) << letters << " letters, " << blanks << " blanks";
      pages.CharLower(text.data(), text.size());
      EXPECT_EQ(text, lower) << letters << " letters, " << blanks << " blanks";
    }
  }
}

TEST(AnsiCasing, EveryUpperCaseLetterOf1252LowersAndBack) {
  TableCodePages pages(1252, 437);
  for (int byte = 0xC0; byte <= 0xDE; ++byte) {
    if (byte == 0xD7) continue;
    const std::string upper(1, static_cast<char>(byte));
    EXPECT_EQ(pages.Upper(pages.Lower(upper)), upper) << byte;
    EXPECT_EQ(static_cast<std::uint8_t>(pages.Lower(upper)[0]), byte + 0x20) << byte;
  }
}

TEST(OemConversion, ThroughUnicodeWithBestFit) {
  TableCodePages pages(1252, 437);
  char text[] = "Caf\xE9 \xC3";  // é exists in 437, Ã does not
  pages.CharToOem(text, text, sizeof text - 1);
  EXPECT_EQ(std::string(text), "Caf\x82 A");
  char back[] = "\x82\x9A\xB0";  // é, Ü, a shade block (not in 1252)
  pages.OemToChar(back, back, sizeof back - 1);
  EXPECT_EQ(std::string(back), "\xE9\xDC?");
}

}  // namespace
}  // namespace platform
