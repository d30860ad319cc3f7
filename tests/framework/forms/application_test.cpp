#include "framework/forms/application.hpp"

#include <gtest/gtest.h>

#include "framework/forms/button.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/timer.hpp"
#include "tests/framework/forms/toolkit_fixture.hpp"

namespace {

using forms::ModalResult;
using forms_test::ToolkitTest;

class Recorder : public forms::TForm {
 public:
  explicit Recorder(std::vector<std::string>& log, std::string name) : TForm(name), log_(log) {
    SetCaption(name);
    OnCreate = [this] { log_.push_back(Name() + ".create"); };
    OnShow = [this] { log_.push_back(Name() + ".show"); };
    OnActivate = [this] { log_.push_back(Name() + ".activate"); };
    OnDeactivate = [this] { log_.push_back(Name() + ".deactivate"); };
    OnHide = [this] { log_.push_back(Name() + ".hide"); };
  }
  forms::TButton Go{*this, "Go"};

 private:
  std::vector<std::string>& log_;
};

class ApplicationTest : public ToolkitTest {
 protected:
  std::vector<std::string> log;
};

TEST_F(ApplicationTest, FirstFormCreatedIsMainAndEachGetsOnCreateInOrder) {
  auto& first = app.CreateForm<Recorder>(log, "first");
  auto& second = app.CreateForm<Recorder>(log, "second");
  EXPECT_EQ(app.MainForm(), &first);
  EXPECT_EQ(app.Forms(), (std::vector<forms::TForm*>{&first, &second}));
  EXPECT_EQ(log, (std::vector<std::string>{"first.create", "second.create"}));
  EXPECT_FALSE(first.Visible());
}

TEST_F(ApplicationTest, RunShowsMainFormAndEndsOnTerminate) {
  auto& main = app.CreateForm<Recorder>(log, "main");
  main.Go.OnClick = [this] { app.Terminate(); };
  script.Then([](forms::FormActor& form) { form.Click("Go"); });
  app.Run();
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(log, (std::vector<std::string>{"main.create", "main.show", "main.activate"}));
}

TEST_F(ApplicationTest, ExceptionInHandlerIsShownWithItsTextAndTheLoopGoesOn) {
  auto& main = app.CreateForm<Recorder>(log, "main");
  int clicks = 0;
  main.Go.OnClick = [&] {
    if (++clicks == 1) throw platform::Exception("Cannot find file C:\\KVSETUP\\KVconf.dat");
    app.Terminate();
  };
  script.AnswerMessages({ModalResult::Ok});
  script.Then([](forms::FormActor& form) { form.Click("Go"); });
  script.Then([](forms::FormActor& form) { form.Click("Go"); });
  app.Run();
  ASSERT_EQ(script.Messages().size(), 1u);
  EXPECT_EQ(script.Messages()[0].text, "Cannot find file C:\\KVSETUP\\KVconf.dat");
  EXPECT_EQ(script.Messages()[0].caption, "Setup");
  EXPECT_EQ(script.Messages()[0].icon, forms::MessageIcon::Error);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ApplicationTest, OwnOnExceptionReplacesTheMessageBox) {
  app.CreateForm<Recorder>(log, "main").Go.OnClick = [] { throw std::runtime_error("boom"); };
  app.OnException = [this](const std::exception& error) {
    app.SetExitCode(3);
    app.Terminate();
    EXPECT_STREQ(error.what(), "boom");
  };
  script.Then([](forms::FormActor& form) { form.Click("Go"); });
  app.Run();
  EXPECT_EQ(app.ExitCode(), 3);
  EXPECT_TRUE(script.Messages().empty());
}

TEST_F(ApplicationTest, ExceptionInOnCreateGoesToTheHandler) {
  std::vector<std::string> errors;
  app.OnException = [&](const std::exception& error) { errors.push_back(error.what()); };
  struct Failing : forms::TForm {
    Failing() {
      OnCreate = [] { throw platform::Exception("no table"); };
    }
  };
  app.CreateForm<Failing>();
  EXPECT_EQ(errors, std::vector<std::string>{"no table"});
}

TEST_F(ApplicationTest, LoopWithNothingToDoFailsInsteadOfHanging) {
  app.CreateForm<Recorder>(log, "Korvane Install");
  try {
    app.Run();
    FAIL() << "Run returned";
  } catch (const forms::EScriptError& error) {
    EXPECT_NE(std::string(error.what()).find("Korvane Install"), std::string::npos);
  }
}

TEST_F(ApplicationTest, HidingActiveFormActivatesThePreviousOne) {
  auto& a = app.CreateForm<Recorder>(log, "a");
  auto& b = app.CreateForm<Recorder>(log, "b");
  forms::TForm* screenForm = nullptr;
  app.Screen().OnActiveFormChange = [&] { screenForm = app.Screen().ActiveForm(); };
  a.Show();
  b.Show();
  log.clear();
  b.Hide();
  EXPECT_EQ(app.ActiveForm(), &a);
  EXPECT_EQ(screenForm, &a);
  EXPECT_EQ(log, (std::vector<std::string>{"b.hide", "b.deactivate", "a.activate"}));
}

TEST_F(ApplicationTest, ProcessMessagesFiresDueTimers) {
  auto& main = app.CreateForm<Recorder>(log, "main");
  forms::TTimer timer{main, "timer"};
  timer.SetInterval(100);
  int fired = 0;
  timer.OnTimer = [&] { ++fired; };
  app.ProcessMessages();
  EXPECT_EQ(fired, 0);
  machine.clock().Advance(150);
  app.ProcessMessages();
  EXPECT_EQ(fired, 1);
}

TEST_F(ApplicationTest, HooksSeeMessagesUntilOneHandlesIt) {
  std::vector<int> seen;
  const int first = app.HookMainWindow([&](forms::Message& m) {
    seen.push_back(1);
    return m.msg == 7;
  });
  app.HookMainWindow([&](forms::Message&) {
    seen.push_back(2);
    return false;
  });
  forms::Message handled{7, 0, 0, 0};
  app.Perform(handled);
  app.UnhookMainWindow(first);
  forms::Message other{7, 0, 0, 0};
  app.Perform(other);
  EXPECT_EQ(seen, (std::vector<int>{1, 2}));
}

TEST_F(ApplicationTest, SecondApplicationIsRefused) {
  EXPECT_THROW(forms::TApplication other(backend), std::logic_error);
}

}  // namespace
