#include "sysinfo/mystd.hpp"

#include <gtest/gtest.h>

#include "framework/forms/format_settings.hpp"
#include "framework/forms/script_backend.hpp"
#include "sysinfo/z_animate.hpp"
#include "tests/framework/forms/test_machine.hpp"

namespace {

using sysinfo::TzShowApp;

class Wizard : public forms::TForm {
 public:
  Wizard() : TForm("Splashform") { SetBounds(80, 60, 641, 481); }
  // What the program sets before the component starts up (its stored properties).
  static inline std::function<void(TzShowApp&)> configure;
  TzShowApp appinfo{*this, "appinfo"};
  struct Configured {
    explicit Configured(TzShowApp& app) {
      if (configure) configure(app);
    }
  } configured{appinfo};
};

class ShowAppTest : public ::testing::Test {
 protected:
  ShowAppTest() { forms::ReloadFormatSettings(); }
  ~ShowAppTest() override { Wizard::configure = nullptr; }

  forms_test::TestMachine machine;
  platform::ScopedMachine scoped{machine};
  forms::ScriptBackend backend{machine.clock()};
  forms::TApplication app{backend};
};

TEST_F(ShowAppTest, ReportsTheMachinesFacts) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  EXPECT_EQ(info.WindowKind(), sysinfo::z_95);
  EXPECT_EQ(info.WinVerMajor(), 4);
  EXPECT_EQ(info.WinVerMinor(), 10);
  EXPECT_EQ(info.WinVerBuild(), 1998);
  EXPECT_EQ(info.WindowsString(), "Windows'95 4.10 (Build: 1998)");
  EXPECT_EQ(info.CPUType(), 5);
  EXPECT_EQ(info.CPUString(), "AMD K5/K6");
  EXPECT_EQ(info.CPUVendor(), "AuthenticAMD");
  EXPECT_TRUE(info.CPUMMX());
  EXPECT_EQ(info.CPUModel(), 8);
  EXPECT_EQ(info.CPUStepping(), 0);
  EXPECT_EQ(info.CPUSpeed(), 301);  // 300 MHz measured, plus 0.66, rounded
  EXPECT_EQ(info.BitsPerColor(), 16);
  EXPECT_DOUBLE_EQ(info.NumberOfColors(), 65536.0);
  EXPECT_EQ(info.WinDir(), "C:\\WINDOWS");
  EXPECT_EQ(info.SystemDir(), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(info.ComputerName(), "KIDSPC");
  EXPECT_EQ(info.UserName(), "Parent");
  EXPECT_EQ(info.EnvironmentLines(), machine.facts().environment);
  EXPECT_EQ(sysinfo::TzDesktop().Width(), 800);
  EXPECT_EQ(sysinfo::TzDesktop().Height(), 600);
}

TEST_F(ShowAppTest, CpuStringReadsTheVendorAfresh) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  machine.facts().processor.vendor = "GenuineIntel";
  EXPECT_EQ(info.CPUString(), "Pentium");
  EXPECT_EQ(info.CPUVendor(), "AuthenticAMD");  // measured once
}

TEST_F(ShowAppTest, TempDirLosesTrailingBackslashesExceptOnARoot) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\TEMP"},
      {"C:\\TEMP\\\\", "C:\\TEMP"},
      {"C:\\", "C:\\"},
      {"D:\\TMP", "D:\\TMP"},
  };
  for (const auto& [reported, expected] : cases) {
    machine.context().tempFolder = reported;
    EXPECT_EQ(info.TempDir(), expected) << reported;
  }
}

TEST_F(ShowAppTest, HostFactsOnlyWhenEnabled) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  EXPECT_EQ(info.IPHostName(), "-Unknown-");
  EXPECT_EQ(info.IPHostAddress(), "-Unknown-");
  info.SetEnabledHostInfo(true);
  EXPECT_EQ(info.IPHostName(), "korvane-test");
  EXPECT_EQ(info.IPHostAddress(), "192.168.1.20");
  machine.facts().hostKnown = false;
  EXPECT_EQ(info.IPHostName(), "-none-");
  EXPECT_EQ(info.IPHostAddress(), "-none-");
}

TEST_F(ShowAppTest, ShortDateRewritesTheProgramsFormatAndRestoresIt) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  info.SetShortDate(sysinfo::sdf4DigitYear);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "M/d/yyyy");
  info.SetShortDate(sysinfo::sdf2DigitYear);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "M/d/yy");
  forms::ProgramFormatSettings().shortDateFormat = "yyyy-MM-dd";
  info.SetShortDate(sysinfo::sdfDontTouch);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "M/d/yy");
}

TEST_F(ShowAppTest, ShortDateGivenItsCurrentModeLeavesTheFormatAlone) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  forms::ProgramFormatSettings().shortDateFormat = "yyyy-MM-dd";
  info.SetShortDate(sysinfo::sdfDontTouch);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "yyyy-MM-dd");
  info.SetShortDate(sysinfo::sdf2DigitYear);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "yy-MM-dd");
  forms::ProgramFormatSettings().shortDateFormat = "dd.MM.yyyy";
  info.SetShortDate(sysinfo::sdf2DigitYear);
  EXPECT_EQ(forms::ProgramFormatSettings().shortDateFormat, "dd.MM.yyyy");
}

TEST_F(ShowAppTest, MirroredPropertiesAndEventsAreTheApplications) {
  auto& info = app.CreateForm<Wizard>().appinfo;
  EXPECT_EQ(info.HintColor(), forms::clInfoBk);
  EXPECT_EQ(info.HintPause(), 500);
  EXPECT_EQ(info.HintHidePause(), 2500);
  EXPECT_TRUE(info.ShowHint());
  info.SetTitle("Setup");
  info.SetHelpFile("Oshelp.hlp");
  info.SetShowHint(false);
  EXPECT_EQ(app.Title(), "Setup");
  EXPECT_EQ(app.HelpFile(), "Oshelp.hlp");
  EXPECT_FALSE(app.ShowHint());
  int errors = 0, formChanges = 0;
  info.SetOnExecption([&](const std::exception&) { ++errors; });
  info.SetOnActiveFormChange([&] { ++formChanges; });
  app.Dispatch([] { throw platform::Exception("x"); });
  app.MainForm()->Show();
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(formChanges, 1);
}

TEST_F(ShowAppTest, SecondInstanceMovesAwayBroadcastsAndTerminates) {
  Wizard::configure = [](TzShowApp& info) { info.SetOnlyOneInstance(true); };
  auto& first = app.CreateForm<Wizard>();
  EXPECT_FALSE(first.appinfo.IsSecondInstance());
  EXPECT_FALSE(app.Terminated());
  EXPECT_EQ(machine.processTable().semaphores.count("C:+KVSETUP+SETUP.EXE"), 1u);
  const std::uint32_t message = machine.processTable().messages.at("C:\\KVSETUP\\SETUP.EXE_Afslut");
  EXPECT_EQ(first.appinfo.InstanceMessage(), message);

  bool asked = false;
  Wizard::configure = [&](TzShowApp& info) {
    info.SetOnlyOneInstance(true);
    info.OnSecondInstance = [&](bool& bring) { asked = bring; };
  };
  auto& second = app.CreateForm<Wizard>();
  EXPECT_TRUE(second.appinfo.IsSecondInstance());
  EXPECT_TRUE(asked);
  EXPECT_LE(second.Left() + second.Width(), 0);
  EXPECT_EQ(machine.processTable().broadcasts, std::vector<std::uint32_t>{message});
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ShowAppTest, SecondInstanceMayKeepTheFirstWhereItIs) {
  Wizard::configure = [](TzShowApp& info) {
    info.SetOnlyOneInstance(true);
    info.OnSecondInstance = [](bool& bring) { bring = false; };
  };
  machine.processTable().semaphores["C:+KVSETUP+SETUP.EXE"] = 1;  // the first one runs
  app.CreateForm<Wizard>();
  EXPECT_TRUE(machine.processTable().broadcasts.empty());
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ShowAppTest, WithoutTheGuardASecondStartGoesOn) {
  machine.processTable().semaphores["C:+KVSETUP+SETUP.EXE"] = 1;
  auto& form = app.CreateForm<Wizard>();
  EXPECT_FALSE(form.appinfo.IsSecondInstance());
  EXPECT_FALSE(app.Terminated());
  EXPECT_TRUE(machine.processTable().messages.empty());
}

TEST_F(ShowAppTest, FirstInstanceComesToTheFrontWhenAnotherStarts) {
  Wizard::configure = [](TzShowApp& info) { info.SetOnlyOneInstance(true); };
  auto& wizard = app.CreateForm<Wizard>();
  int told = 0;
  wizard.appinfo.OnAnotherInstance = [&] { ++told; };
  wizard.Show();
  wizard.SetWindowState(forms::TWindowState::Minimized);
  app.Minimize();
  forms::Message message{wizard.appinfo.InstanceMessage(), 0, 0, 0};
  app.Perform(message);
  EXPECT_EQ(told, 1);
  EXPECT_FALSE(app.Minimized());
  EXPECT_EQ(wizard.WindowState(), forms::TWindowState::Normal);
  EXPECT_EQ(app.ActiveForm(), &wizard);
}

TEST_F(ShowAppTest, EndOfSessionIsAskedAndAnnounced) {
  auto& wizard = app.CreateForm<Wizard>();
  bool ended = false;
  wizard.appinfo.OnAskEndSession = [](bool& doEnd) { doEnd = false; };
  wizard.appinfo.OnEndSession = [&] { ended = true; };
  forms::Message query{forms::wm::QueryEndSession, 0, 0, 0};
  app.Perform(query);
  EXPECT_EQ(query.result, 0);
  forms::Message cancelled{forms::wm::EndSession, 0, 0, 0};
  app.Perform(cancelled);
  EXPECT_FALSE(ended);
  forms::Message ends{forms::wm::EndSession, 1, 0, 0};
  app.Perform(ends);
  EXPECT_TRUE(ended);
}

TEST_F(ShowAppTest, MovingTheApplicationWindowMovesTheMainForm) {
  auto& wizard = app.CreateForm<Wizard>();
  forms::WindowPos position{200, 100, 641, 481, 0};
  forms::Message moved{forms::wm::WindowPosChanged, 0, reinterpret_cast<std::intptr_t>(&position),
                       0};
  app.Perform(moved);
  EXPECT_EQ(wizard.Left(), 200);
  EXPECT_EQ(wizard.Top(), 100);
  forms::WindowPos empty{5, 5, 0, 0, 0};
  forms::Message ignored{forms::wm::WindowPosChanged, 0, reinterpret_cast<std::intptr_t>(&empty),
                         0};
  app.Perform(ignored);
  EXPECT_EQ(wizard.Left(), 200);
}

TEST_F(ShowAppTest, StartedMinimisedTheMainFormWaitsForRestore) {
  machine.facts().showMode = platform::show_mode::ShowMinNoActive;
  int previousRestores = 0;
  app.OnRestore = [&] { ++previousRestores; };
  Wizard::configure = [](TzShowApp& info) { info.SetUseCmdShow(true); };
  auto& wizard = app.CreateForm<Wizard>();
  EXPECT_TRUE(app.Minimized());
  EXPECT_FALSE(app.ShowMainForm());
  EXPECT_FALSE(wizard.Visible());
  app.Restore();
  EXPECT_TRUE(wizard.Visible());
  EXPECT_EQ(wizard.WindowState(), forms::TWindowState::Normal);
  EXPECT_EQ(previousRestores, 0);
  app.Minimize();
  app.Restore();
  EXPECT_EQ(previousRestores, 1);  // the previous handler is back
}

TEST_F(ShowAppTest, ShowModesMapToWindowStates) {
  const std::pair<int, forms::TWindowState> cases[] = {
      {2, forms::TWindowState::Minimized}, {3, forms::TWindowState::Maximized},
      {6, forms::TWindowState::Minimized}, {7, forms::TWindowState::Minimized},
      {1, forms::TWindowState::Normal},    {10, forms::TWindowState::Normal}};
  Wizard::configure = [](TzShowApp& info) { info.SetUseCmdShow(true); };
  for (const auto& [mode, state] : cases) {
    machine.facts().showMode = mode;
    EXPECT_EQ(app.CreateForm<Wizard>().WindowState(), state) << mode;
  }
}

TEST_F(ShowAppTest, HiddenFromTheTaskbar) {
  Wizard::configure = [](TzShowApp& info) {
    info.SetShowOnStatusBar(false);
    info.SetShowNonOnStatusBar(true);
  };
  app.CreateForm<Wizard>();
  EXPECT_FALSE(app.Window().visible);
  EXPECT_EQ(app.Window().exStyle, forms::ws_ex::ToolWindow | forms::ws_ex::Topmost);
}

TEST_F(ShowAppTest, ComponentOffAFormHasNoOwningForm) {
  forms::TComponent holder(nullptr, "holder");
  TzShowApp info(holder, "appinfo");
  try {
    info.OwningForm();
    FAIL() << "found a form";
  } catch (const sysinfo::ENoForm& error) {
    EXPECT_STREQ(error.what(), "NoForm");
  }
}

}  // namespace
