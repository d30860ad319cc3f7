#pragma once
// A small machine for the expression tests: Windows-1252 casing, a virtual clock standing on
// 15 March 2024, and a short date format and decimal separator the test can choose. The
// services the expression language never touches refuse to be used.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/code_pages.hpp"
#include "platform/machine.hpp"
#include "platform/virtual_clock.hpp"
#include "tables/index/exp_global_registry.hpp"

namespace tables::testing {

class ExpSystemInfo : public platform::SystemInfo {
 public:
  std::string shortDateFormat = "M/d/yy";
  char decimalSeparator = '.';

  platform::VersionRecord Version() override { return {}; }
  platform::ProcessorFacts Processor() override { return {}; }
  std::string ShortDateFormat() override { return shortDateFormat; }
  char DecimalSeparator() override { return decimalSeparator; }
  std::vector<std::string> Environment() override { return {}; }
  int StartupShowMode() override { return 1; }
  platform::ScreenFacts Screen() override { return {}; }
  std::string ComputerName() override { return "TEST"; }
  std::string UserName() override { return "TESTER"; }
  bool HostName(std::string&) override { return false; }
  bool HostAddress(const std::string&, std::array<std::uint8_t, 4>&) override { return false; }
  std::uint32_t AnsiCodePage() override { return 1252; }
  std::uint32_t OemCodePage() override { return 850; }
};

inline platform::LocalTime TestToday() {
  platform::LocalTime t;
  t.year = 2024, t.month = 3, t.day = 15, t.hour = 12;
  return t;
}

class ExpTestMachine : public platform::Machine {
 public:
  ExpTestMachine() : codePages_(1252, 850), clock_(TestToday(), 100) {}

  platform::Registry& registry() override { throw Unused("registry"); }
  platform::FileSystem& files() override { throw Unused("files"); }
  platform::Processes& processes() override { throw Unused("processes"); }
  platform::Shell& shell() override { throw Unused("shell"); }
  platform::SystemInfo& system() override { return system_; }
  platform::ProgramContext& program() override { throw Unused("program"); }
  platform::CodePages& codePages() override { return codePages_; }
  platform::Clock& clock() override { return clock_; }
  void Save() override {}

  ExpSystemInfo& systemInfo() { return system_; }

 private:
  static std::logic_error Unused(const char* service) {
    return std::logic_error(std::string("the expression tests do not use ") + service);
  }
  platform::TableCodePages codePages_;
  platform::VirtualClock clock_;
  ExpSystemInfo system_;
};

// Installs the test machine and starts the built-in registry for each test.
class ExpTest : public ::testing::Test {
 protected:
  ExpTestMachine machine_;
  platform::ScopedMachine scoped_{machine_};
  TxbExpEngineScope engine_;
};

}  // namespace tables::testing
