#include <gtest/gtest.h>

#include "framework/forms/check_box.hpp"
#include "framework/forms/combo_box.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/label.hpp"
#include "framework/forms/page_control.hpp"
#include "framework/forms/rich_edit.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

class ControlsTest : public forms_test::ToolkitTest {
 protected:
  forms::TForm& form = app.CreateForm<forms::TForm>("form");
};

TEST(Accelerator, MarksAreStrippedAndTheLetterFound) {
  struct Case {
    std::string caption, stripped;
    char letter;
  };
  const Case cases[] = {{"&Next", "Next", 'N'},    {"Cancel &Entry", "Cancel Entry", 'E'},
                        {"A && B", "A & B", 0},    {"Save", "Save", 0},
                        {"&& &yes", "& yes", 'Y'}, {"end&", "end", 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(forms::StripAccelerator(c.caption), c.stripped) << c.caption;
    EXPECT_EQ(forms::AcceleratorOf(c.caption), c.letter) << c.caption;
  }
}

TEST_F(ControlsTest, EditFiresOnChangeOnlyForNewTextAndAppliesItsCase) {
  forms::TEdit edit{form, "UserNameEdit"};
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  edit.SetCharCase(forms::TEditCharCase::UpperCase);
  edit.SetText("parent\xe9");
  edit.SetText("PARENT\xc9");
  EXPECT_EQ(edit.Text(), "PARENT\xc9");  // é upper-cased in code page 1252
  EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, TypingHonoursMaxLengthAndReadOnlyButCodeDoesNot) {
  forms::TEdit edit{form, "UserPassEdit"};
  edit.SetMaxLength(4);
  edit.SetPasswordChar('*');
  edit.EnterText("secret");
  EXPECT_EQ(edit.Text(), "secr");
  EXPECT_EQ(edit.DisplayText(), "****");
  edit.SetText("longer text");
  EXPECT_EQ(edit.Text(), "longer text");
  edit.SetReadOnly(true);
  edit.EnterText("x");
  EXPECT_EQ(edit.Text(), "longer text");
}

TEST_F(ControlsTest, DropDownListAcceptsOnlyItsItems) {
  forms::TComboBox combo{form, "AgeCombo"};
  combo.SetStyle(forms::TComboBoxStyle::DropDownList);
  combo.SetItems({"Age 25-34", "Preschool", "Grade 1"});
  int changes = 0;
  combo.OnChange = [&] { ++changes; };
  combo.SetItemIndex(0);
  EXPECT_EQ(combo.Text(), "Age 25-34");
  EXPECT_EQ(changes, 0);  // choosing from code is silent
  combo.EnterText("grade 1");
  EXPECT_EQ(combo.Text(), "Grade 1");
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_THROW(combo.EnterText("Grade 13"), platform::ERangeError);
  EXPECT_THROW(combo.SetItemIndex(3), platform::ERangeError);
  combo.SetItems({"Preschool"});
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
}

TEST_F(ControlsTest, CheckBoxFiresOnClickWhenItsStateChanges) {
  forms::TCheckBox box{form, "chkSubmit"};
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetChecked(true);
  box.SetChecked(true);
  box.Toggle();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, RichTextSplitsLinesAndKeepsParagraphGaps) {
  forms::TRichEdit text{form, "Instructions"};
  text.SetText("Instructions");
  text.Clear();
  text.Append("Welcome.\r\n\n");
  text.Append("Second");
  text.Append(" paragraph.\r\nLast\rline\n");
  EXPECT_EQ(text.Lines(),
            (std::vector<std::string>{"Welcome.", "", "Second paragraph.", "Last", "line", ""}));
  EXPECT_EQ(text.Text(), "Welcome.\r\n\nSecond paragraph.\r\nLast\rline\n");
}

TEST_F(ControlsTest, OnlyTheActiveTabSheetShows) {
  forms::TPageControl pages{form, "pagecontrolSetup"};
  forms::TTabSheet setup{pages, "tabsheetSetup"};
  forms::TTabSheet other{pages, "other"};
  forms::TLabel label{setup, "lblInstructions"};
  form.Show();
  EXPECT_EQ(pages.ActivePage(), &setup);
  EXPECT_TRUE(label.Showing());
  EXPECT_FALSE(other.Showing());
  pages.SetActivePage(&other);
  EXPECT_FALSE(label.Showing());
}

TEST_F(ControlsTest, TabOrderMovesAControlInItsParentsList) {
  forms::TEdit name{form, "name"};
  forms::TEdit pass{form, "pass"};
  forms::TEdit confirm{form, "confirm"};
  confirm.SetTabOrder(0);
  EXPECT_EQ(form.TabOrdered(), (std::vector<forms::TControl*>{&confirm, &name, &pass}));
  EXPECT_EQ(name.TabOrder(), 1);
  name.SetTabOrder(99);
  EXPECT_EQ(name.TabOrder(), 2);
}

TEST_F(ControlsTest, ControlsOfAHiddenParentAreNotShowing) {
  forms::TEdit edit{form, "edit"};
  EXPECT_FALSE(edit.Showing());
  form.Show();
  EXPECT_TRUE(edit.Showing());
  edit.Hide();
  EXPECT_FALSE(edit.CanFocus());
}

}  // namespace
