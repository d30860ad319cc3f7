#pragma once
// Lines of a text screen made of spans that carry their look (bold, underline, reverse, dim,
// colours). Texts are in the program's ANSI code page unless a span is marked as UTF-8
// (drawing characters); turning lines into terminal output converts them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace forms {

struct Style {
  bool bold = false;
  bool underline = false;
  bool reverse = false;
  bool dim = false;
  bool focus = false;                       // the keyboard focus is here (drawn reversed)
  std::optional<std::uint32_t> foreground;  // 0xRRGGBB
  std::optional<std::uint32_t> background;

  bool operator==(const Style&) const = default;
};

struct Span {
  std::string text;
  Style style;
  bool utf8 = false;
};

class StyledLine {
 public:
  StyledLine() = default;
  explicit StyledLine(std::string text, Style style = {}) { Append(std::move(text), style); }

  void Append(std::string text, Style style = {});
  void AppendUtf8(std::string text, Style style = {});
  void Append(const StyledLine& other);
  // Adds blanks (in `style`) up to `width` characters.
  void PadTo(int width, Style style = {});
  // Keeps at most `width` characters.
  void TruncateTo(int width);
  int Width() const;
  // The characters without their look (UTF-8 spans as they are).
  std::string Plain() const;
  const std::vector<Span>& Spans() const { return spans_; }

 private:
  std::vector<Span> spans_;
};

// The escape sequences and UTF-8 text that draw `lines` from the top left corner of the
// screen, each line cleared to its end, the screen cleared below the last one.
std::string DrawScreen(const std::vector<StyledLine>& lines, std::uint32_t ansiCodePage);

}  // namespace forms
