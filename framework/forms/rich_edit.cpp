#include "framework/forms/rich_edit.hpp"

#include <algorithm>

#include "framework/forms/control_visitor.hpp"

namespace forms {

TRichEdit::TRichEdit(TWinControl& parent, std::string name) : TControl(parent, std::move(name)) {
  SetTabStop(true);
  SetColor(clWindow);
}

void TRichEdit::SetText(std::string text) {
  text_ = std::move(text);
  topLine_ = 0;
  Changed();
}

void TRichEdit::Append(const std::string& piece) {
  text_ += piece;
  Changed();
}

std::vector<std::string> TRichEdit::Lines() const {
  std::vector<std::string> lines;
  if (text_.empty()) return lines;
  std::string line;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    const char c = text_[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  lines.push_back(std::move(line));
  return lines;
}

void TRichEdit::SetScrollBars(TScrollStyle bars) {
  scrollBars_ = bars;
  Changed();
}

void TRichEdit::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  Changed();
}

void TRichEdit::SetTopLine(int line) {
  topLine_ = std::max(0, line);
  Changed();
}

void TRichEdit::Accept(ControlVisitor& visitor) {
  visitor.Visit(*this);
}

}  // namespace forms
