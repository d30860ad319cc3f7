#include "framework/forms/console_layout.hpp"

#include <gtest/gtest.h>

#include "framework/forms/button.hpp"
#include "framework/forms/check_box.hpp"
#include "framework/forms/console_keys.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/group_box.hpp"
#include "framework/forms/image.hpp"
#include "framework/forms/rich_edit.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

using forms::Key;
using Kind = forms::Key::Kind;

class Page : public forms::TForm {
 public:
  Page() : TForm("Page") {
    SetCaption("Korvane Install");
    SetBounds(0, 0, 641, 481);
    image.SetBounds(0, 0, 640, 480);
    forms::TBitmap bitmap{4, 2, std::vector<std::uint8_t>(24, 0x80)};
    forms::TPicture picture;
    picture.Assign(bitmap);
    image.SetPicture(picture);
    group.SetBounds(116, 132, 397, 271);
    group.SetCaption("Welcome to Korvane");
    text.SetBounds(18, 24, 361, 64);
    back.SetBounds(30, 240, 79, 25);
    back.SetCaption("Back");
    back.SetEnabled(false);
    next.SetBounds(162, 240, 73, 25);
    next.SetCaption("&Next");
    cancel.SetBounds(288, 240, 73, 25);
    cancel.SetCaption("Cancel");
    cancel.SetCancel(true);
  }
  forms::TImage image{*this, "Image1"};
  forms::TGroupBox group{*this, "grpSetup"};
  forms::TRichEdit text{group, "Instructions"};
  forms::TButton back{group, "Back"};
  forms::TButton next{group, "Next"};
  forms::TButton cancel{group, "Cancel"};
};

class ConsoleLayoutTest : public forms_test::ToolkitTest {
 protected:
  std::vector<std::string> Screen() {
    std::vector<std::string> lines;
    for (const auto& line : forms::LayoutForm(page, {80, 24}, false).lines) {
      lines.push_back(line.Plain());
    }
    return lines;
  }
  bool Shows(const std::string& text) {
    for (const std::string& line : Screen()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }
  Page& page = app.CreateForm<Page>();
};

TEST_F(ConsoleLayoutTest, FramedPageWithWrappedParagraphsAndNumberedButtons) {
  page.Show();
  page.text.SetText(
      "Welcome to the Korvane Setup program.  This program will install Korvane on your "
      "computer.\r\n\nClick Next to continue.");
  const auto lines = Screen();
  ASSERT_EQ(lines.size(), 24u);
  EXPECT_EQ(lines[0].rfind("+- Korvane Install -", 0), 0u) << lines[0];
  EXPECT_EQ(lines[0].size(), 80u);
  EXPECT_TRUE(Shows("+- Welcome to Korvane -"));
  EXPECT_TRUE(Shows("| Welcome to the Korvane Setup program.  This program will install "));
  EXPECT_TRUE(Shows("[1] Back  [2] Next  [3] Cancel"));
  // The paragraph gap: an empty text line between the two paragraphs.
  std::size_t first = 0;
  while (first < lines.size() && lines[first].find("on your") == std::string::npos &&
         lines[first].find("computer.") == std::string::npos) {
    ++first;
  }
  ASSERT_LT(first + 2, lines.size());
  EXPECT_EQ(lines[first + 1].find_first_not_of("| "), std::string::npos) << lines[first + 1];
  EXPECT_NE(lines[first + 2].find("Click Next"), std::string::npos);
}

TEST_F(ConsoleLayoutTest, PictureShowsOnlyWhileNothingCoversIt) {
  page.group.Hide();
  page.Show();
  EXPECT_TRUE(Shows("\xe2\x96\x80"));
  EXPECT_TRUE(Shows("(picture 4 x 2)"));
  page.group.Show();
  EXPECT_FALSE(Shows("\xe2\x96\x80"));
  EXPECT_FALSE(Shows("(picture 4 x 2)"));
}

TEST_F(ConsoleLayoutTest, LongTextShowsScrollMarksAndScrolls) {
  page.Show();
  std::string text;
  for (int i = 1; i <= 30; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  page.text.SetText(text);
  EXPECT_TRUE(Shows("line 1 "));
  EXPECT_FALSE(Shows("line 30"));
  forms::ApplyKey(page, {Kind::PageDown, {}, false}, 1252);
  forms::ApplyKey(page, {Kind::PageDown, {}, false}, 1252);
  forms::ApplyKey(page, {Kind::PageDown, {}, false}, 1252);
  EXPECT_TRUE(Shows("line 30"));
  EXPECT_FALSE(Shows("line 1 "));
  forms::ApplyKey(page, {Kind::Home, {}, false}, 1252);
  EXPECT_TRUE(Shows("line 1 "));
}

TEST_F(ConsoleLayoutTest, KeysPressButtonsByNumberLetterAndFocus) {
  page.Show();
  std::string pressed;
  page.back.OnClick = [&] { pressed += "back "; };
  page.next.OnClick = [&] { pressed += "next "; };
  page.cancel.OnClick = [&] { pressed += "cancel "; };
  const auto key = [&](Key k) { forms::ApplyKey(page, k, 1252); };
  key({Kind::Text, "1", false});  // Back is disabled
  key({Kind::Text, "2", false});
  key({Kind::Text, "n", false});
  key({Kind::Escape, {}, false});
  key({Kind::Tab, {}, false});
  key({Kind::Tab, {}, false});
  key({Kind::Enter, {}, false});
  EXPECT_EQ(pressed, "next next cancel " +
                         std::string(page.ActiveControl() == &page.next ? "next " : "cancel "));
}

TEST_F(ConsoleLayoutTest, TypingGoesIntoTheFocusedEditAndAltStillPresses) {
  forms::TEdit edit{page.group, "edit"};
  forms::TCheckBox box{page.group, "box"};
  edit.SetBounds(18, 100, 200, 21);
  box.SetBounds(18, 130, 200, 17);
  box.SetCaption("Log history");
  page.Show();
  edit.SetFocus();
  int next = 0;
  page.next.OnClick = [&] { ++next; };
  const auto key = [&](Key k) { forms::ApplyKey(page, k, 1252); };
  key({Kind::Text, "n", false});
  key({Kind::Text, "2", false});
  key({Kind::Text, "\xc3\xa9", false});
  key({Kind::Backspace, {}, false});
  key({Kind::Text, "n", true});
  EXPECT_EQ(edit.Text(), "n2");
  EXPECT_EQ(next, 1);
  EXPECT_TRUE(Shows("[n2"));
  key({Kind::Tab, {}, false});
  key({Kind::Text, " ", false});
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(Shows("[x] Log history"));
}

TEST_F(ConsoleLayoutTest, MessageBoxIsLaidOverThePage) {
  page.Show();
  auto screen = forms::LayoutForm(page, {80, 24}, false);
  forms::MessageRequest request{"Proxy Server in use?", "Are you using a proxy server?",
                                forms::MessageButtons::YesNo, forms::MessageIcon::Question,
                                forms::ModalResult::No};
  forms::OverlayMessageBox(screen, request, forms::ModalResult::No, {80, 24});
  std::string all;
  for (const auto& line : screen.lines)
    all += line.Plain() + "\n";
  EXPECT_NE(all.find("+- Proxy Server in use? -"), std::string::npos) << all;
  EXPECT_NE(all.find("[Yes]  [No]"), std::string::npos) << all;

  forms::MessageRequest shortText{"Installation Complete", "Start Korvane Now?",
                                  forms::MessageButtons::OkCancel};
  forms::OverlayMessageBox(screen, shortText, forms::ModalResult::Ok, {80, 24});
  all.clear();
  for (const auto& line : screen.lines)
    all += line.Plain() + "\n";
  EXPECT_NE(all.find("+- Installation Complete -"), std::string::npos) << all;
}

TEST_F(ConsoleLayoutTest, CaptionsBesideATallerControlShareItsRow) {
  forms::TBitBtn icon{page.group, "image1"};
  icon.SetBounds(126, 234, 37, 37);
  forms::TBitmap glyph{2, 2, std::vector<std::uint8_t>(12, 0xFF)};
  icon.Glyph().Assign(glyph);
  page.back.Hide();
  page.next.Hide();
  page.cancel.SetBounds(330, 246, 91, 31);
  page.Show();
  EXPECT_TRUE(Shows("\xe2\x96\x80\xe2\x96\x80\xe2\x96\x80\xe2\x96\x80  [1] Cancel"));
}

}  // namespace
