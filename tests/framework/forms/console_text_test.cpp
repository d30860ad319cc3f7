#include <gtest/gtest.h>

#include "framework/forms/key_decoder.hpp"
#include "framework/forms/styled_text.hpp"
#include "framework/forms/text_wrap.hpp"

namespace {

using forms::Key;
using Kind = forms::Key::Kind;

TEST(WrapText, BreaksAtBlanksAndKeepsParagraphGaps) {
  struct Case {
    std::string text;
    int width;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", 10, {}},
      {"one two three", 7, {"one two", "three"}},
      {"Welcome.\r\n\nNext paragraph", 20, {"Welcome.", "", "Next paragraph"}},
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"a  b", 1, {"a", "b"}},
      {"line\rother\n", 10, {"line", "other", ""}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(forms::WrapText(c.text, c.width), c.lines) << c.text;
}

TEST(KeyDecoder, TurnsTerminalBytesIntoKeys) {
  struct Case {
    std::string bytes;
    std::vector<Key> keys;
  };
  const Case cases[] = {
      {"ab", {{Kind::Text, "a", false}, {Kind::Text, "b", false}}},
      {"\r\n\t\x7f",
       {{Kind::Enter, {}, false}, {Kind::Tab, {}, false}, {Kind::Backspace, {}, false}}},
      {"\x1b[A\x1b[B\x1bOC\x1b[Z",
       {{Kind::Up, {}, false},
        {Kind::Down, {}, false},
        {Kind::Right, {}, false},
        {Kind::BackTab, {}, false}}},
      {"\x1b[5~\x1b[6~\x1b[3~",
       {{Kind::PageUp, {}, false}, {Kind::PageDown, {}, false}, {Kind::Delete, {}, false}}},
      {"\x1bs", {{Kind::Text, "s", true}}},
      {"\xc3\xa9", {{Kind::Text, "\xc3\xa9", false}}},
      {"\x1b", {{Kind::Escape, {}, false}}},
      {"\x1b[99~x", {{Kind::Text, "x", false}}},
  };
  for (const Case& c : cases) {
    forms::KeyDecoder decoder;
    decoder.Feed(c.bytes);
    EXPECT_EQ(decoder.Take(true), c.keys) << c.bytes;
    EXPECT_FALSE(decoder.HasPending());
  }
}

TEST(KeyDecoder, WaitsForTheRestOfASequenceOrCharacter) {
  forms::KeyDecoder decoder;
  decoder.Feed("x\x1b[");
  EXPECT_EQ(decoder.Take(false), (std::vector<Key>{{Kind::Text, "x", false}}));
  decoder.Feed("A\xc3");
  EXPECT_EQ(decoder.Take(false), (std::vector<Key>{{Kind::Up, {}, false}}));
  decoder.Feed("\xa9");
  EXPECT_EQ(decoder.Take(false), (std::vector<Key>{{Kind::Text, "\xc3\xa9", false}}));
}

TEST(StyledLine, MeasuresPadsAndCutsByCharacters) {
  forms::StyledLine line("ab");
  line.AppendUtf8("\xe2\x96\x80\xe2\x96\x80");
  line.Append("cd");
  EXPECT_EQ(line.Width(), 6);
  line.TruncateTo(3);
  EXPECT_EQ(line.Plain(), "ab\xe2\x96\x80");
  line.PadTo(5);
  EXPECT_EQ(line.Width(), 5);
}

TEST(DrawScreen, ConvertsTheCodePageAndStylesEachSpan) {
  forms::Style bold;
  bold.bold = true;
  forms::StyledLine line("caf\xe9", bold);
  const std::string drawn = forms::DrawScreen({line}, 1252);
  EXPECT_NE(drawn.find("\x1b[0;1mcaf\xc3\xa9"), std::string::npos);
  EXPECT_EQ(drawn.rfind("\x1b[H", 0), 0u);
}

}  // namespace
