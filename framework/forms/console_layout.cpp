#include "framework/forms/console_layout.hpp"

#include <algorithm>
#include <utility>

#include "framework/forms/application.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/check_box.hpp"
#include "framework/forms/combo_box.hpp"
#include "framework/forms/control_visitor.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/group_box.hpp"
#include "framework/forms/image.hpp"
#include "framework/forms/label.hpp"
#include "framework/forms/page_control.hpp"
#include "framework/forms/rich_edit.hpp"
#include "framework/forms/text_wrap.hpp"

namespace forms {
namespace {

constexpr int kRowBand = 12;         // controls whose tops are closer than this share a row
constexpr int kPixelsPerRow = 16;    // height of a text row in form pixels
constexpr int kPixelsPerColumn = 8;  // width of a character in form pixels
constexpr int kMaxTextRows = 14;
constexpr int kMaxButtons = 9;

struct Block {
  std::vector<StyledLine> lines;
  int width = 0;
};

Style Focus(bool focused, Style style = {}) {
  style.focus = focused;
  return style;
}

Style Dim(bool disabled) {
  Style style;
  style.dim = disabled;
  return style;
}

// A caption with its accelerator letter underlined.
StyledLine Accelerated(const std::string& caption, Style style) {
  StyledLine line;
  bool underlineNext = false;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && !underlineNext && i + 1 < caption.size() && caption[i + 1] != '&') {
      underlineNext = true;
      continue;
    }
    if (caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&') ++i;
    Style look = style;
    look.underline = underlineNext;
    underlineNext = false;
    line.Append(std::string(1, caption[i]), look);
  }
  return line;
}

bool Overlaps(const TControl& a, const TControl& b) {
  return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() &&
         a.Top() < b.Top() + b.Height() && b.Top() < a.Top() + a.Height();
}

// Draws a bitmap in `columns` x `rows` characters, two pixel rows per character.
std::vector<StyledLine> Thumbnail(const TBitmap& bitmap, int maxColumns, int maxRows) {
  const double scale = std::min(static_cast<double>(maxColumns) / bitmap.width,
                                static_cast<double>(maxRows * 2) / bitmap.height);
  const int columns = std::max(1, static_cast<int>(bitmap.width * scale));
  const int pixelRows = std::max(2, static_cast<int>(bitmap.height * scale));
  std::vector<StyledLine> lines;
  const auto sample = [&](int x, int y) {
    return bitmap.Pixel(std::min(bitmap.width - 1, x * bitmap.width / columns),
                        std::min(bitmap.height - 1, y * bitmap.height / pixelRows));
  };
  for (int y = 0; y + 1 < pixelRows; y += 2) {
    StyledLine line;
    for (int x = 0; x < columns; ++x) {
      Style style;
      style.foreground = sample(x, y);
      style.background = sample(x, y + 1);
      line.AppendUtf8("\xe2\x96\x80", style);  // upper half block
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<StyledLine> Framed(const std::string& caption, std::vector<StyledLine> inner, int width,
                               Style captionStyle = {}) {
  std::vector<StyledLine> lines;
  StyledLine top("+-");
  if (!caption.empty()) {
    top.Append(" ");
    StyledLine title(caption, captionStyle);
    title.TruncateTo(width - 6);
    top.Append(title);
    top.Append(" ");
  }
  top.Append(std::string(static_cast<std::size_t>(std::max(0, width - 1 - top.Width())), '-'));
  top.Append("+");
  lines.push_back(std::move(top));
  for (StyledLine& line : inner) {
    StyledLine framed("| ");
    line.TruncateTo(width - 4);
    line.PadTo(width - 4);
    framed.Append(line);
    framed.Append(" |");
    lines.push_back(std::move(framed));
  }
  lines.push_back(StyledLine("+" + std::string(static_cast<std::size_t>(width - 2), '-') + "+"));
  return lines;
}

void CollectButtons(const TWinControl& container, std::vector<TButton*>& buttons) {
  for (TControl* control : container.TabOrdered()) {
    if (auto* button = dynamic_cast<TButton*>(control);
        button && button->Showing() && !StripAccelerator(button->Caption()).empty() &&
        buttons.size() < kMaxButtons) {
      buttons.push_back(button);
    }
    if (auto* inner = dynamic_cast<TWinControl*>(control)) CollectButtons(*inner, buttons);
  }
}

// A control shares the row of the first control in it when their tops are close or when
// its middle lies beside that control (a caption next to a taller picture or field).
bool SharesRow(const TControl& first, const TControl& other) {
  const int middle = other.Top() + other.Height() / 2;
  return other.Top() < first.Top() + kRowBand ||
         (middle >= first.Top() && middle < first.Top() + first.Height());
}

// A tab sheet fills its page control: it takes the width of the first parent that has one.
int PixelWidth(const TWinControl& container) {
  for (const TWinControl* c = &container; c; c = c->Parent()) {
    if (c->Width() > 0) return c->Width();
  }
  return 1;
}

class Layout : private ControlVisitor {
 public:
  Layout(int screenRows, std::vector<TButton*> numbered)
      : screenRows_(screenRows), numbered_(std::move(numbered)) {}

  // The controls of a container, row by row.
  std::vector<StyledLine> Children(const TWinControl& container, int columns) {
    std::vector<TControl*> shown;
    for (TControl* control : container.Controls()) {
      if (control->Showing() && !Hidden(*control, container)) shown.push_back(control);
    }
    std::stable_sort(shown.begin(), shown.end(), [](TControl* a, TControl* b) {
      return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    });
    std::vector<StyledLine> lines;
    const int pixelWidth = PixelWidth(container);
    for (std::size_t start = 0; start < shown.size();) {
      std::size_t end = start + 1;
      while (end < shown.size() && SharesRow(*shown[start], *shown[end]))
        ++end;
      std::vector<TControl*> row(shown.begin() + static_cast<std::ptrdiff_t>(start),
                                 shown.begin() + static_cast<std::ptrdiff_t>(end));
      std::stable_sort(row.begin(), row.end(),
                       [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
      auto rowLines = Row(row, columns, pixelWidth);
      lines.insert(lines.end(), rowLines.begin(), rowLines.end());
      start = end;
    }
    return lines;
  }

 private:
  // A picture under another showing control is covered (the wizard's pages lie on it).
  static bool Hidden(const TControl& control, const TWinControl& container) {
    if (!dynamic_cast<const TImage*>(&control)) return false;
    return std::any_of(container.Controls().begin(), container.Controls().end(),
                       [&](const TControl* other) {
                         return other != &control && other->Showing() && Overlaps(control, *other);
                       });
  }

  // Fields, texts and boxes take their part of the width; captions take what they need.
  static bool Proportional(const TControl& control) {
    if (auto* label = dynamic_cast<const TLabel*>(&control)) return label->WordWrap();
    return !dynamic_cast<const TButton*>(&control) && !dynamic_cast<const TCheckBox*>(&control);
  }

  // Boxes and texts alone in their row use the whole width.
  static bool Expands(const TControl& control) {
    return Proportional(control) && !dynamic_cast<const TEdit*>(&control) &&
           !dynamic_cast<const TComboBox*>(&control);
  }

  std::vector<StyledLine> Row(const std::vector<TControl*>& row, int columns, int pixelWidth) {
    std::vector<Block> blocks;
    int total = 0;
    for (TControl* control : row) {
      const bool whole = !Proportional(*control) || (row.size() == 1 && Expands(*control));
      const int share =
          whole ? columns : std::clamp(control->Width() * columns / pixelWidth, 8, columns);
      blocks.push_back(Render(*control, share));
      total += blocks.back().width;
    }
    total += 2 * static_cast<int>(blocks.size() - 1);
    if (total <= columns) return SideBySide(blocks);
    std::vector<StyledLine> lines;
    for (TControl* control : row) {
      Block block = Render(*control, columns);
      lines.insert(lines.end(), block.lines.begin(), block.lines.end());
    }
    return lines;
  }

  static std::vector<StyledLine> SideBySide(const std::vector<Block>& blocks) {
    std::size_t height = 0;
    for (const Block& block : blocks)
      height = std::max(height, block.lines.size());
    std::vector<StyledLine> lines(height);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      for (std::size_t row = 0; row < height; ++row) {
        StyledLine piece = row < blocks[b].lines.size() ? blocks[b].lines[row] : StyledLine();
        if (b + 1 < blocks.size()) piece.PadTo(blocks[b].width + 2);
        lines[row].Append(piece);
      }
    }
    return lines;
  }

  // Renders one control; containers render their children through here too.
  Block Render(TControl& control, int columns) {
    Block outer = std::exchange(block_, {});
    const int outerColumns = std::exchange(columns_, columns);
    control.Accept(*this);
    Block result = std::exchange(block_, std::move(outer));
    columns_ = outerColumns;
    for (StyledLine& line : result.lines) {
      line.TruncateTo(columns);
      result.width = std::max(result.width, line.Width());
    }
    return result;
  }

  void Line(StyledLine line) { block_.lines.push_back(std::move(line)); }

  void Visit(TForm& form) override {
    for (StyledLine& line : Children(form, columns_))
      Line(std::move(line));
  }

  void Visit(TLabel& label) override {
    const std::string text = StripAccelerator(label.Caption());
    if (!label.WordWrap()) {
      Line(StyledLine(text, Dim(!label.EnabledInTree())));
      return;
    }
    for (const std::string& line : WrapText(text, columns_)) {
      Line(StyledLine(line, Dim(!label.EnabledInTree())));
    }
  }

  void Visit(TButton& button) override {
    const bool enabled = button.EnabledInTree();
    Style style = Focus(button.Focused() && enabled, Dim(!enabled));
    style.bold = button.Default();
    StyledLine line;
    const auto number = std::find(numbered_.begin(), numbered_.end(), &button);
    if (number != numbered_.end()) {
      line.Append("[" + std::to_string(number - numbered_.begin() + 1) + "] ", Dim(!enabled));
    }
    if (!button.Caption().empty()) {
      line.Append(Accelerated(button.Caption(), style));
      Line(std::move(line));
    } else if (auto* picture = dynamic_cast<TBitBtn*>(&button);
               picture && !picture->Glyph().Empty()) {
      const int columns = std::max(2, button.Width() / kPixelsPerColumn);
      const int rows = std::max(1, button.Height() / kPixelsPerRow);
      for (StyledLine& row : Thumbnail(picture->Glyph().Bitmap(), columns, rows)) {
        Line(std::move(row));
      }
    } else {
      line.Append("(picture)", style);
      Line(std::move(line));
    }
  }

  void Visit(TEdit& edit) override {
    const int inner = std::max(columns_ - 2, 4);
    std::string shown = edit.DisplayText();
    if (static_cast<int>(shown.size()) > inner - 1)
      shown = shown.substr(shown.size() - (inner - 1));
    Style field;
    field.underline = true;
    field = Focus(edit.Focused(), field);
    field.dim = !edit.EnabledInTree();
    StyledLine line("[");
    StyledLine value(shown, field);
    value.PadTo(inner, field);
    line.Append(value);
    line.Append("]");
    Line(std::move(line));
  }

  void Visit(TCheckBox& box) override {
    const bool enabled = box.EnabledInTree();
    StyledLine line(box.Checked() ? "[x]" : "[ ]", Focus(box.Focused() && enabled, Dim(!enabled)));
    line.Append(" ");
    line.Append(Accelerated(box.Caption(), Dim(!enabled)));
    Line(std::move(line));
  }

  void Visit(TComboBox& box) override {
    const int inner = std::max(columns_ - 4, 4);
    Style field;
    field.underline = true;
    field = Focus(box.Focused(), field);
    field.dim = !box.EnabledInTree();
    StyledLine line("[");
    StyledLine value(box.Text(), field);
    value.TruncateTo(inner);
    value.PadTo(inner, field);
    line.Append(value);
    line.Append(" v]");
    Line(std::move(line));
  }

  void Visit(TGroupBox& box) override {
    const auto inner = Children(box, columns_ - 4);
    for (StyledLine& line : Framed(StripAccelerator(box.Caption()), inner, columns_)) {
      Line(std::move(line));
    }
  }

  void Visit(TRichEdit& edit) override {
    const int rows = std::clamp(edit.Height() / kPixelsPerRow, 2,
                                std::min(kMaxTextRows, std::max(2, screenRows_ - 10)));
    const auto text = WrapText(edit.Text(), columns_ - 2);
    const int total = static_cast<int>(text.size());
    edit.LimitTopLine(total - rows);
    const int top = edit.TopLine();
    for (int row = 0; row < rows; ++row) {
      const int index = top + row;
      StyledLine line(index < total ? text[static_cast<std::size_t>(index)] : std::string());
      line.PadTo(columns_ - 1);
      const bool more = (row == 0 && top > 0) || (row == rows - 1 && index + 1 < total);
      line.Append(more ? (row == 0 ? "^" : "v") : " ", Focus(edit.Focused() && more));
      Line(std::move(line));
    }
  }

  void Visit(TImage& image) override {
    if (image.Picture().Empty()) return;
    const int rows = std::clamp(image.Height() / kPixelsPerRow, 1, std::max(1, screenRows_ - 5));
    for (StyledLine& line : Thumbnail(image.Picture().Bitmap(), columns_, rows)) {
      StyledLine centred(std::string(
          static_cast<std::size_t>(image.Center() ? std::max(0, (columns_ - line.Width()) / 2) : 0),
          ' '));
      centred.Append(line);
      Line(std::move(centred));
    }
    // Under the rendering, the picture's real size.
    const std::string size = "(picture " + std::to_string(image.Picture().Width()) + " x " +
                             std::to_string(image.Picture().Height()) + ")";
    const int indent =
        image.Center() ? std::max(0, (columns_ - static_cast<int>(size.size())) / 2) : 0;
    Line(StyledLine(std::string(static_cast<std::size_t>(indent), ' ') + size));
  }

  void Visit(TPageControl& pages) override {
    StyledLine tabs;
    TTabSheet* active = pages.ActivePage();
    for (TTabSheet* sheet : pages.Pages()) {
      if (!sheet->Visible()) continue;
      Style style;
      style.reverse = sheet == active;
      tabs.Append(" " + StripAccelerator(sheet->Caption()) + " ", style);
      tabs.Append(" ");
    }
    Line(std::move(tabs));
    if (!active) return;
    for (StyledLine& line : Children(*active, columns_))
      Line(std::move(line));
  }

  void Visit(TTabSheet& sheet) override {
    for (StyledLine& line : Children(sheet, columns_))
      Line(std::move(line));
  }

  int screenRows_;
  int columns_ = 0;
  Block block_;
  std::vector<TButton*> numbered_;
};

StyledLine StatusLine(const TForm* form, bool busy, int width) {
  std::string help;
  if (busy) help = "Please wait...  ";
  const TControl* focused = form ? form->ActiveControl() : nullptr;
  if (dynamic_cast<const TEdit*>(focused) || dynamic_cast<const TComboBox*>(focused)) {
    help += "Type text  Tab: next  Enter: OK  Alt+number/letter: button";
  } else if (form) {
    help += "Number or underlined letter: button  Tab: move  Enter: press  Esc: cancel";
  }
  StyledLine line(help, Dim(true));
  line.TruncateTo(width);
  return line;
}

bool HasFocus(const StyledLine& line) {
  return std::any_of(line.Spans().begin(), line.Spans().end(),
                     [](const Span& span) { return span.style.focus; });
}

// Fits the framed page into the screen (less its status line): a taller page is shown from
// the part that keeps the focused control in view.
std::vector<StyledLine> FitToScreen(std::vector<StyledLine> lines, TerminalSize size) {
  const auto room = static_cast<std::size_t>(std::max(size.rows - 1, 1));
  if (lines.size() > room) {
    const auto focused = std::find_if(lines.begin(), lines.end(), HasFocus);
    const std::size_t at =
        focused == lines.end() ? 0 : static_cast<std::size_t>(focused - lines.begin());
    const std::size_t first = std::min(at > room / 2 ? at - room / 2 : 0, lines.size() - room);
    lines = std::vector<StyledLine>(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                    lines.begin() + static_cast<std::ptrdiff_t>(first + room));
  }
  while (lines.size() < room)
    lines.emplace_back();
  return lines;
}

std::vector<StyledLine> Boxed(const std::string& caption, std::vector<StyledLine> inner,
                              TerminalSize size) {
  int width = std::max(20, static_cast<int>(caption.size()) + 8);  // the caption fits the frame
  for (const StyledLine& line : inner)
    width = std::max(width, line.Width() + 4);
  width = std::min(width, size.columns);
  Style title;
  title.bold = true;
  return Framed(caption, std::move(inner), width, title);
}

void Overlay(ConsolePage& page, const std::vector<StyledLine>& box, TerminalSize size) {
  const int height = static_cast<int>(box.size());
  const int first = std::max(0, (size.rows - 1 - height) / 2);
  for (int i = 0; i < height && first + i < static_cast<int>(page.lines.size()); ++i) {
    const auto indent = static_cast<std::size_t>(
        std::max(0, (size.columns - box[static_cast<std::size_t>(i)].Width()) / 2));
    StyledLine line(std::string(indent, ' '));
    line.Append(box[static_cast<std::size_t>(i)]);
    page.lines[static_cast<std::size_t>(first + i)] = std::move(line);
  }
}

}  // namespace

std::vector<TButton*> NumberedButtons(const TForm& form) {
  std::vector<TButton*> buttons;
  CollectButtons(form, buttons);
  return buttons;
}

ConsolePage LayoutForm(TForm& form, TerminalSize size, bool busy) {
  Layout layout(size.rows, NumberedButtons(form));
  const int inner = std::max(size.columns - 4, 10);
  Style title;
  title.bold = true;
  // The frame spans the screen, however little the form shows.
  auto content = layout.Children(form, inner);
  content.resize(std::max(content.size(), static_cast<std::size_t>(std::max(size.rows - 3, 0))));
  ConsolePage page;
  page.lines = FitToScreen(
      Framed(StripAccelerator(form.Caption()), std::move(content), size.columns, title), size);
  page.lines.push_back(StatusLine(&form, busy, size.columns));
  return page;
}

ConsolePage LayoutEmpty(const std::string& title, TerminalSize size, bool busy) {
  ConsolePage page;
  page.lines = FitToScreen({StyledLine(title)}, size);
  page.lines.push_back(StatusLine(nullptr, busy, size.columns));
  return page;
}

void OverlayMessageBox(ConsolePage& page, const MessageRequest& request, ModalResult highlighted,
                       TerminalSize size) {
  std::vector<StyledLine> inner;
  for (const std::string& line : WrapText(request.text, std::max(size.columns - 8, 10))) {
    inner.emplace_back(line);
  }
  inner.emplace_back();
  StyledLine buttons;
  for (ModalResult button : ButtonsOf(request.buttons)) {
    Style style;
    style.reverse = button == highlighted;
    buttons.Append(Accelerated("[&" + ButtonText(button) + "]", style));
    buttons.Append("  ");
  }
  inner.push_back(std::move(buttons));
  Overlay(page, Boxed(request.caption, std::move(inner), size), size);
}

void OverlayInputBox(ConsolePage& page, const InputRequest& request, const std::string& text,
                     bool selected, TerminalSize size) {
  const int width = std::max(size.columns - 8, 10);
  std::vector<StyledLine> inner;
  for (const std::string& line : WrapText(request.prompt, width))
    inner.emplace_back(line);
  Style field;
  field.underline = true;
  field.reverse = selected;
  StyledLine value(text.size() > static_cast<std::size_t>(width - 2)
                       ? text.substr(text.size() - static_cast<std::size_t>(width - 2))
                       : text,
                   field);
  value.PadTo(std::min(width - 2, 40), field);
  StyledLine entry("[");
  entry.Append(value);
  entry.Append("]");
  inner.push_back(std::move(entry));
  inner.emplace_back();
  inner.emplace_back("Enter: OK   Esc: Cancel");
  Overlay(page, Boxed(request.caption, std::move(inner), size), size);
}

}  // namespace forms
