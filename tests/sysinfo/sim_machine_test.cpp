#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "framework/forms/script_backend.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "platform/sim/sim_machine.hpp"
#include "sysinfo/mystd.hpp"

namespace {

namespace fs = std::filesystem;

class Wizard : public forms::TForm {
 public:
  explicit Wizard(bool onlyOne) : TForm("Splashform") {
    SetBounds(0, 0, 641, 481);
    appinfo.SetOnlyOneInstance(onlyOne);
  }
  sysinfo::TzShowApp appinfo{*this, "appinfo"};
};

class SimulatedMachine : public ::testing::Test {
 protected:
  SimulatedMachine() {
    folder_ =
        fs::temp_directory_path() / ("korvane-sysinfo-" + std::to_string(std::random_device{}()));
  }
  ~SimulatedMachine() override { fs::remove_all(folder_); }

  std::unique_ptr<platform::sim::SimMachine> Open(const std::string& profile) {
    if (!fs::exists(folder_ / "machine.ini")) platform::sim::MakeMachine(folder_, profile);
    return platform::sim::SimMachine::Open(folder_, {"C:\\KVSETUP\\SETUP.EXE", true});
  }

  fs::path folder_;
};

TEST_F(SimulatedMachine, KindAndMajorVersionPerProfile) {
  const std::tuple<std::string, sysinfo::WTypes, int> cases[] = {{"win95", sysinfo::z_95, 4},
                                                                 {"win98", sysinfo::z_95, 4},
                                                                 {"nt4", sysinfo::z_NT, 4},
                                                                 {"win2000", sysinfo::z_NT, 5}};
  for (const auto& [profile, kind, major] : cases) {
    fs::remove_all(folder_);
    auto machine = Open(profile);
    platform::ScopedMachine scoped(*machine);
    forms::ScriptBackend backend;
    forms::TApplication app(backend);
    auto& wizard = app.CreateForm<Wizard>(false);
    EXPECT_EQ(wizard.appinfo.WindowKind(), kind) << profile;
    EXPECT_EQ(wizard.appinfo.WinVerMajor(), major) << profile;
    const auto facts = machine->system().Processor();
    if (facts.hasIdentification && wizard.appinfo.CPUType() >= 5) {
      EXPECT_EQ(wizard.appinfo.CPUSpeed(), static_cast<int>(facts.megahertz) + 1) << profile;
    }
  }
}

TEST_F(SimulatedMachine, SecondRunOfTheProgramFindsTheFirst) {
  auto first = Open("win98");
  {
    platform::ScopedMachine scoped(*first);
    forms::ScriptBackend backend;
    forms::TApplication app(backend);
    EXPECT_FALSE(app.CreateForm<Wizard>(true).appinfo.IsSecondInstance());
  }
  auto second = Open("win98");
  platform::ScopedMachine scoped(*second);
  forms::ScriptBackend backend;
  forms::TApplication app(backend);
  EXPECT_TRUE(app.CreateForm<Wizard>(true).appinfo.IsSecondInstance());
  EXPECT_TRUE(app.Terminated());
}

TEST_F(SimulatedMachine, ARunThatEndedNoLongerCounts) {
  {
    auto first = Open("nt4");
    platform::ScopedMachine scoped(*first);
    forms::ScriptBackend backend;
    forms::TApplication app(backend);
    app.CreateForm<Wizard>(true);
  }
  auto again = Open("nt4");
  platform::ScopedMachine scoped(*again);
  forms::ScriptBackend backend;
  forms::TApplication app(backend);
  EXPECT_FALSE(app.CreateForm<Wizard>(true).appinfo.IsSecondInstance());
}

}  // namespace
