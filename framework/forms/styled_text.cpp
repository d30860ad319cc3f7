#include "framework/forms/styled_text.hpp"

#include <algorithm>

#include "platform/code_pages.hpp"

namespace forms {
namespace {

int Utf8Characters(const std::string& text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

int SpanWidth(const Span& span) {
  return span.utf8 ? Utf8Characters(span.text) : static_cast<int>(span.text.size());
}

std::string Colour(int base, std::uint32_t rgb) {
  return ";" + std::to_string(base) + ";2;" + std::to_string((rgb >> 16) & 0xFF) + ";" +
         std::to_string((rgb >> 8) & 0xFF) + ";" + std::to_string(rgb & 0xFF);
}

std::string Sgr(const Style& style) {
  std::string codes = "0";
  if (style.bold) codes += ";1";
  if (style.dim) codes += ";2";
  if (style.underline) codes += ";4";
  if (style.reverse || style.focus) codes += ";7";
  if (style.foreground) codes += Colour(38, *style.foreground);
  if (style.background) codes += Colour(48, *style.background);
  return "\x1b[" + codes + "m";
}

}  // namespace

void StyledLine::Append(std::string text, Style style) {
  if (!text.empty()) spans_.push_back({std::move(text), style, false});
}

void StyledLine::AppendUtf8(std::string text, Style style) {
  if (!text.empty()) spans_.push_back({std::move(text), style, true});
}

void StyledLine::Append(const StyledLine& other) {
  spans_.insert(spans_.end(), other.spans_.begin(), other.spans_.end());
}

void StyledLine::PadTo(int width, Style style) {
  const int missing = width - Width();
  if (missing > 0) Append(std::string(static_cast<std::size_t>(missing), ' '), style);
}

void StyledLine::TruncateTo(int width) {
  int used = 0;
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    Span& span = spans_[i];
    const int room = width - used;
    if (SpanWidth(span) <= room) {
      used += SpanWidth(span);
      continue;
    }
    if (span.utf8) {
      std::size_t cut = 0;
      for (int kept = 0; cut < span.text.size(); ++cut) {
        if ((static_cast<unsigned char>(span.text[cut]) & 0xC0) != 0x80 && kept++ == room) break;
      }
      span.text.resize(cut);
    } else {
      span.text.resize(static_cast<std::size_t>(std::max(room, 0)));
    }
    spans_.resize(i + 1);
    return;
  }
}

int StyledLine::Width() const {
  int width = 0;
  for (const Span& span : spans_)
    width += SpanWidth(span);
  return width;
}

std::string StyledLine::Plain() const {
  std::string text;
  for (const Span& span : spans_)
    text += span.text;
  return text;
}

std::string DrawScreen(const std::vector<StyledLine>& lines, std::uint32_t ansiCodePage) {
  std::string out = "\x1b[H";
  for (std::size_t row = 0; row < lines.size(); ++row) {
    for (const Span& span : lines[row].Spans()) {
      out += Sgr(span.style);
      out += span.utf8 ? span.text : platform::CodePageToUtf8(ansiCodePage, span.text);
    }
    out += "\x1b[0m\x1b[K";
    if (row + 1 < lines.size()) out += "\r\n";
  }
  out += "\x1b[0m\x1b[J";
  return out;
}

}  // namespace forms
