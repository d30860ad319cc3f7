#include "framework/forms/form.hpp"

#include <gtest/gtest.h>

#include "framework/forms/button.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/group_box.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

using forms::ModalResult;

class Dialog : public forms::TForm {
 public:
  Dialog() : TForm("Dialog") {
    SetCaption("Installation Complete");
    SetBorderIcons({});
    SetBounds(0, 0, 544, 320);
    SetPosition(forms::TPosition::ScreenCenter);
    Ok.SetCaption("&OK");
    Ok.SetModalResult(ModalResult::Ok);
    Ok.SetDefault(true);
    Finish.SetCaption("Finish");
    Finish.SetCancel(true);
  }
  forms::TGroupBox box{*this, "box"};
  forms::TEdit NameEdit{box, "NameEdit"};
  forms::TButton Ok{box, "OkButton"};
  forms::TButton Finish{*this, "bitbtnFinish"};
};

class FormTest : public forms_test::ToolkitTest {
 protected:
  forms::TForm& main = app.CreateForm<forms::TForm>("main");
  Dialog& dialog = app.CreateForm<Dialog>();
};

TEST_F(FormTest, ShowModalReturnsTheResultOfTheButtonPressed) {
  script.Then([](forms::FormActor& form) { form.Click("OK"); });
  EXPECT_EQ(dialog.ShowModal(), ModalResult::Ok);
  EXPECT_FALSE(dialog.Visible());
}

TEST_F(FormTest, ClosingAModalFormGivesCancel) {
  dialog.Finish.OnClick = [this] { dialog.Close(); };
  script.Then([](forms::FormActor& form) { form.PressEscape(); });
  EXPECT_EQ(dialog.ShowModal(), ModalResult::Cancel);
}

TEST_F(FormTest, ShowModalEndsWhenTheApplicationTerminates) {
  dialog.Finish.OnClick = [this] { app.Terminate(); };
  script.Then([](forms::FormActor& form) { form.Click("Finish"); });
  EXPECT_EQ(dialog.ShowModal(), ModalResult::Cancel);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(FormTest, AVisibleFormCannotBeShownModally) {
  dialog.Show();
  EXPECT_THROW(dialog.ShowModal(), forms::EInvalidOperation);
}

TEST_F(FormTest, ClosingTheMainFormTerminates) {
  main.Show();
  main.Close();
  EXPECT_TRUE(app.Terminated());
}

TEST_F(FormTest, OnCloseCanRefuse) {
  dialog.Show();
  dialog.OnClose = [](forms::TCloseAction& action) { action = forms::TCloseAction::None; };
  dialog.Close();
  EXPECT_TRUE(dialog.Visible());
}

TEST_F(FormTest, FormWithoutBorderIconsCannotBeClosedFromTheTitleBar) {
  dialog.Show();
  EXPECT_FALSE(dialog.CloseFromTitleBar());
  EXPECT_THROW(backend.Actor().CloseForm(), forms::EScriptError);
  EXPECT_TRUE(dialog.Visible());
  main.Show();
  EXPECT_TRUE(main.CloseFromTitleBar());
}

TEST_F(FormTest, ScreenCentredFormIsPlacedWhenShown) {
  dialog.Show();  // the test screen is 800 x 600
  EXPECT_EQ(dialog.Left(), (800 - 544) / 2);
  EXPECT_EQ(dialog.Top(), (600 - 320) / 2);
}

TEST_F(FormTest, EnterAndEscapePressTheDefaultAndCancelButtons) {
  std::string pressed;
  dialog.Ok.OnClick = [&] { pressed += "ok "; };
  dialog.Finish.OnClick = [&] { pressed += "finish "; };
  dialog.Show();
  backend.Actor().PressEnter();
  backend.Actor().PressEscape();
  dialog.Ok.Hide();
  EXPECT_THROW(backend.Actor().PressEnter(), forms::EScriptError);
  EXPECT_EQ(pressed, "ok finish ");
}

TEST_F(FormTest, ActivationFocusesTheFirstFocusableControl) {
  dialog.Show();
  EXPECT_EQ(dialog.ActiveControl(), &dialog.NameEdit);
  EXPECT_EQ(app.Screen().ActiveControl(), &dialog.NameEdit);
  dialog.box.SetEnabled(false);
  EXPECT_THROW(dialog.NameEdit.SetFocus(), forms::EInvalidOperation);
}

TEST_F(FormTest, ControlsAreFoundByNameAndOwnedByTheirForm) {
  EXPECT_EQ(dialog.FindComponent("bitbtnfinish"), &dialog.Finish);
  EXPECT_EQ(dialog.NameEdit.Owner(), &dialog);
  EXPECT_EQ(dialog.NameEdit.Parent(), &dialog.box);
  EXPECT_EQ(dialog.NameEdit.OwningForm(), &dialog);
}

}  // namespace
