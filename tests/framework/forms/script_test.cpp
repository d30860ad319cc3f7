#include <gtest/gtest.h>

#include "framework/forms/button.hpp"
#include "framework/forms/dialogs.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/group_box.hpp"
#include "framework/forms/rich_edit.hpp"
#include "framework/forms/timer.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

using forms::InputAnswer;
using forms::ModalResult;

// A miniature of the wizard: a splash delay, then a page with Next/Cancel and a question.
class Wizard : public forms::TForm {
 public:
  Wizard() : TForm("Wizard") {
    SetCaption("Korvane Install");
    SetBorderIcons({});
    group.Hide();
    timer.SetInterval(5000);
    timer.OnTimer = [this] {
      timer.SetEnabled(false);
      group.Show();
      text.SetText("Welcome");
    };
    next.SetCaption("Next");
    next.OnClick = [this] {
      const bool proxy =
          forms::MessageBox("Are you using a proxy server?", "Proxy Server in use?",
                            forms::MessageButtons::YesNo, ModalResult::No) == ModalResult::Yes;
      host = proxy ? forms::InputBox("Proxy Server IP Address",
                                     "What is the proxy server IP "
                                     "address?",
                                     "0.0.0.0")
                   : "none";
      forms::Application().Terminate();
    };
    back.SetCaption("Back");
    back.SetEnabled(false);
  }
  forms::TGroupBox group{*this, "grpSetup"};
  forms::TRichEdit text{group, "Instructions"};
  forms::TButton back{group, "Back"};
  forms::TButton next{group, "Next"};
  forms::TTimer timer{*this, "Timer1"};
  std::string host;
};

class ScriptTest : public forms_test::ToolkitTest {
 protected:
  Wizard& wizard = app.CreateForm<Wizard>();
};

TEST_F(ScriptTest, UnattendedRunWaitsForTheTimerThenAnswersTheQuestions) {
  // At the splash the buttons are hidden: nothing to do yet, time passes.
  script.WaitFor([](forms::FormActor& form) { return form.CanClick("Next"); });
  script.Then([](forms::FormActor& form) {
    EXPECT_EQ(form.TextOf("Instructions"), "Welcome");
    form.Click("Next");
  });
  script.AnswerMessages({ModalResult::Yes});
  script.AnswerInputs({InputAnswer::Text("10.0.0.8")});
  const std::uint64_t before = machine.virtualClock().Elapsed();
  app.Run();
  EXPECT_GE(machine.virtualClock().Elapsed() - before, 5000u);
  EXPECT_EQ(wizard.host, "10.0.0.8");
  ASSERT_EQ(script.Messages().size(), 1u);
  EXPECT_EQ(script.Messages()[0].defaultButton, ModalResult::No);
  ASSERT_EQ(script.Inputs().size(), 1u);
  EXPECT_EQ(script.Inputs()[0].defaultText, "0.0.0.0");
  EXPECT_TRUE(script.Done());
}

TEST_F(ScriptTest, CancelledInputBoxGivesTheDefault) {
  wizard.Show();
  backend.Advance(5000);
  script.AnswerMessages({ModalResult::Yes});
  script.AnswerInputs({InputAnswer::Cancel()});
  backend.Actor().Click("Next");
  EXPECT_EQ(wizard.host, "0.0.0.0");
}

TEST_F(ScriptTest, UnansweredMessageBoxStopsTheRunNamingCaptionAndText) {
  wizard.Show();
  backend.Advance(5000);
  try {
    backend.Actor().Click("Next");
    FAIL() << "no error";
  } catch (const forms::EScriptError& error) {
    const std::string text = error.what();
    EXPECT_NE(text.find("Proxy Server in use?"), std::string::npos) << text;
    EXPECT_NE(text.find("Are you using a proxy server?"), std::string::npos) << text;
  }
}

TEST_F(ScriptTest, AnswerThatIsNotAButtonOfTheBoxIsAnError) {
  wizard.Show();
  backend.Advance(5000);
  script.AnswerMessages({ModalResult::Ok});
  EXPECT_THROW(backend.Actor().Click("Next"), forms::EScriptError);
}

TEST_F(ScriptTest, UnansweredInputBoxIsAnError) {
  wizard.Show();
  backend.Advance(5000);
  script.AnswerMessages({ModalResult::Yes});
  EXPECT_THROW(backend.Actor().Click("Next"), forms::EScriptError);
}

TEST_F(ScriptTest, ActionsAUserCouldNotDoAreRefusedWithTheirReason) {
  wizard.Show();
  backend.Advance(5000);
  auto actor = backend.Actor();
  const auto reason = [&](const std::function<void()>& action) {
    try {
      action();
    } catch (const forms::EScriptError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(reason([&] { actor.Click("Back"); }),
            "The button \"Back\" on \"Korvane Install\" is disabled");
  EXPECT_EQ(reason([&] { actor.Click("Finish"); }),
            "There is no button \"Finish\" on \"Korvane Install\"");
  EXPECT_EQ(reason([&] { actor.Click("Instructions"); }),
            "\"Instructions\" on \"Korvane Install\" is not a button");
  EXPECT_EQ(reason([&] { actor.Type("Next", "x"); }),
            "\"Next\" on \"Korvane Install\" is not an edit box");
}

TEST_F(ScriptTest, NoActiveFormToActOn) {
  EXPECT_THROW(backend.Actor(), forms::EScriptError);
}

}  // namespace
