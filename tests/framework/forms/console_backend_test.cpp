#include "framework/forms/console_backend.hpp"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "framework/db/memory_data_set.hpp"
#include "framework/forms/application.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/db_check_box.hpp"
#include "framework/forms/db_combo_box.hpp"
#include "framework/forms/db_edit.hpp"
#include "framework/forms/dialogs.hpp"
#include "framework/forms/edit.hpp"
#include "framework/forms/terminal.hpp"
#include "framework/forms/timer.hpp"
#include "tests/framework/forms/test_machine.hpp"

namespace {

// Keys come from a pipe written before the run; the screen goes to a file read afterwards.
class ConsoleRun : public ::testing::Test {
 protected:
  ConsoleRun() { backend.SetScreenSize(80, 24); }
  ~ConsoleRun() override {
    close(keys_[0]);
    if (keys_[1] >= 0) close(keys_[1]);
    std::fclose(screen_);
  }
  void Type(const std::string& bytes) {
    ASSERT_EQ(write(keys_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void EndOfInput() {
    close(keys_[1]);
    keys_[1] = -1;
  }
  std::string Screen() {
    std::fflush(screen_);
    std::ifstream in("/proc/self/fd/" + std::to_string(fileno(screen_)));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static std::array<int, 2> MakePipe() {
    std::array<int, 2> ends{-1, -1};
    EXPECT_EQ(pipe(ends.data()), 0);
    return ends;
  }

  std::array<int, 2> keys_ = MakePipe();
  std::FILE* screen_ = std::tmpfile();
  forms_test::TestMachine machine;
  platform::ScopedMachine scoped{machine};
  forms::ConsoleBackend backend{machine.clock(), keys_[0], fileno(screen_)};
  forms::TApplication app{backend};
};

class Wizard : public forms::TForm {
 public:
  Wizard() : TForm("Wizard") {
    SetCaption("Korvane Install");
    SetBounds(0, 0, 641, 481);
    host.SetBounds(10, 10, 200, 21);
    next.SetBounds(10, 40, 73, 25);
    next.SetCaption("&Next");
    next.OnClick = [this] {
      if (forms::MessageBox("Are you using a proxy server?", "Proxy Server in use?",
                            forms::MessageButtons::YesNo) == forms::ModalResult::Yes) {
        answer = forms::InputBox("HTTP port", "What is the HTTP port?", "80");
      }
      forms::Application().Terminate();
    };
  }
  forms::TEdit host{*this, "host"};
  forms::TButton next{*this, "Next"};
  std::string answer = "none";
};

TEST_F(ConsoleRun, KeysDriveTheFormsAndTheirBoxes) {
  auto& wizard = app.CreateForm<Wizard>();
  // Typed text, Alt+N (the field has the focus), Yes, then a replaced default and Enter.
  Type("proxy\x1bny8080\r");
  EndOfInput();
  app.Run();
  EXPECT_EQ(wizard.host.Text(), "proxy");
  EXPECT_EQ(wizard.answer, "8080");
  const std::string screen = Screen();
  EXPECT_NE(screen.find("Korvane Install"), std::string::npos);
  EXPECT_NE(screen.find("Proxy Server in use?"), std::string::npos);
  EXPECT_NE(screen.find("What is the HTTP port?"), std::string::npos);
  EXPECT_NE(screen.find("\x1b[?1049h"), std::string::npos);
  EXPECT_NE(screen.rfind("\x1b[?1049l"), std::string::npos);  // the screen was given back
}

TEST_F(ConsoleRun, EscapeCancelsTheInputBoxAndNoAnswersTheQuestion) {
  auto& wizard = app.CreateForm<Wizard>();
  Type("\x1bny\x1b");
  EndOfInput();
  app.Run();
  EXPECT_EQ(wizard.answer, "80");
}

TEST_F(ConsoleRun, TimersRunOnTheMachineClockWhileNobodyTypes) {
  auto& wizard = app.CreateForm<Wizard>();
  forms::TTimer timer{wizard, "Timer1"};
  timer.SetInterval(5000);
  timer.OnTimer = [this] { app.Terminate(); };
  const std::uint64_t before = machine.virtualClock().Elapsed();
  app.Run();  // the input stays open: only the timer ends the run
  EXPECT_GE(machine.virtualClock().Elapsed() - before, 5000u);
}

TEST_F(ConsoleRun, EndOfInputEndsTheRunWithAnError) {
  app.CreateForm<Wizard>();
  EndOfInput();
  EXPECT_THROW(app.Run(), forms::EBackendFailure);
  EXPECT_NE(Screen().rfind("\x1b[?1049l"), std::string::npos);
}

// A user form whose boxes are bound to a users table; Save posts and ends the run.
class UserForm : public forms::TForm {
 public:
  explicit UserForm(db::TDataSet& users) : TForm("UserForm") {
    SetBounds(0, 0, 400, 200);
    source.SetDataSet(&users);
    name.SetBounds(10, 10, 100, 21);
    name.SetDataSource(&source);
    name.SetDataField("UserName");
    porn.SetBounds(10, 40, 150, 17);
    porn.SetCaption("Pornography");
    porn.SetDataSource(&source);
    porn.SetDataField("Porn");
    porn.SetValueChecked("T");
    porn.SetValueUnchecked("F");
    age.SetBounds(10, 70, 100, 21);
    age.SetItems({"Preschool", "Grade 1", "Grade 2"});
    age.SetDataSource(&source);
    age.SetDataField("Age");
    save.SetBounds(10, 100, 73, 25);
    save.SetCaption("&Save");
    save.OnClick = [this] {
      source.DataSet()->Post();
      forms::Application().Terminate();
    };
  }
  db::TDataSource source;
  forms::TDBEdit name{*this, "UserNameEdit"};
  forms::TDBCheckBox porn{*this, "DBCheckBox3"};
  forms::TDBComboBox age{*this, "AgeCombo"};
  forms::TButton save{*this, "SaveButton"};
};

TEST_F(ConsoleRun, DataBoundBoxesEditTheRecordAndSavePostsIt) {
  db::MemoryDataSet users{{{"UserName", db::FieldType::String, 10},
                           {"Porn", db::FieldType::String, 1},
                           {"Age", db::FieldType::String, 20}}};
  users.Open();
  users.Append();
  users.FieldByName("UserName").SetAsString("AL");
  users.FieldByName("Porn").SetAsString("F");
  users.FieldByName("Age").SetAsString("Preschool");
  users.Post();
  auto& form = app.CreateForm<UserForm>(users);
  EXPECT_EQ(form.name.Text(), "AL");
  // Typed text, Tab to the box and Space, Tab to the list and Down, then Alt+S.
  Type("ICE\t \t\x1b[B\x1bs");
  EndOfInput();
  app.Run();
  EXPECT_EQ(users.State(), db::DataSetState::Browse);
  users.First();
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "ALICE");
  EXPECT_EQ(users.FieldByName("Porn").AsString(), "T");
  EXPECT_EQ(users.FieldByName("Age").AsString(), "Grade 1");
  EXPECT_EQ(users.RecordCount(), 1);
}

// A pseudo-terminal stands for the user's terminal.
class Pty {
 public:
  Pty() { EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0); }
  ~Pty() {
    close(master);
    close(slave);
  }
  termios Mode() const {
    termios mode{};
    tcgetattr(slave, &mode);
    return mode;
  }
  int master = -1, slave = -1;
};

bool Cooked(const termios& mode) {
  return (mode.c_lflag & ICANON) && (mode.c_lflag & ECHO);
}

TEST(TerminalSession, RawWhileActiveAndRestoredOnEveryWayOut) {
  forms_test::TestMachine machine;
  Pty pty;
  ASSERT_TRUE(Cooked(pty.Mode()));
  {
    forms::TerminalSession session(pty.slave, pty.slave);
    EXPECT_FALSE(Cooked(pty.Mode()));
  }
  EXPECT_TRUE(Cooked(pty.Mode()));
  try {
    forms::TerminalSession session(pty.slave, pty.slave);
    throw std::runtime_error("leaving");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(Cooked(pty.Mode()));
}

TEST(TerminalSession, RestoredWhenASignalEndsTheProgram) {
  Pty pty;
  std::fflush(nullptr);  // the child must not print what the parent buffered
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    forms::TerminalSession session(pty.slave, pty.slave);
    std::raise(SIGTERM);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_TRUE(Cooked(pty.Mode()));
}

TEST(TerminalSession, RestoredWhenTheProgramExits) {
  Pty pty;
  std::fflush(nullptr);  // the child must not print what the parent buffered
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    static forms::TerminalSession* leaked = new forms::TerminalSession(pty.slave, pty.slave);
    static_cast<void>(leaked);
    std::exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(Cooked(pty.Mode()));
}

TEST(TerminalSession, SizeOfAPseudoTerminal) {
  Pty pty;
  winsize size{};
  size.ws_col = 100;
  size.ws_row = 30;
  ASSERT_EQ(ioctl(pty.slave, TIOCSWINSZ, &size), 0);
  const auto found = forms::QueryTerminalSize(pty.slave);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->columns, 100);
  EXPECT_EQ(found->rows, 30);
  EXPECT_FALSE(forms::QueryTerminalSize(-1).has_value());
}

}  // namespace
