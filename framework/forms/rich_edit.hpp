#pragma once
// TRichEdit: a multi-line text box, here used read-only to show page texts. Text is one
// string; lines are separated by CR LF, and CR LF LF (an empty line) separates paragraphs.
// PlainText shows the text as it is, without rich-text interpretation.
#include <algorithm>
#include <string>
#include <vector>

#include "framework/forms/control.hpp"

namespace forms {

enum class TScrollStyle { None, Horizontal, Vertical, Both };

class TRichEdit : public TControl {
 public:
  TRichEdit(TWinControl& parent, std::string name);

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  void Clear() { SetText({}); }
  // Adds to the end of the text (the page texts are built piece by piece).
  void Append(const std::string& piece);
  // The text split into lines at CR LF, LF or CR.
  std::vector<std::string> Lines() const;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle bars);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool plain) { plainText_ = plain; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);

  // The first line shown (the user scrolls it).
  int TopLine() const { return topLine_; }
  void SetTopLine(int line);
  // A backend that knows how many lines it shows keeps the first line within the text.
  void LimitTopLine(int maxTopLine) { topLine_ = std::clamp(topLine_, 0, std::max(maxTopLine, 0)); }

  bool IsFocusable() const override { return true; }
  void Accept(ControlVisitor& visitor) override;

 private:
  std::string text_;
  TScrollStyle scrollBars_ = TScrollStyle::Both;
  bool readOnly_ = false;
  bool plainText_ = false;
  bool wordWrap_ = true;
  int topLine_ = 0;
};

}  // namespace forms
