#pragma once
// A small machine for toolkit and system-information tests: a virtual clock, code pages
// 1252/850, facts that each test sets, named semaphores and registered messages kept in
// memory. The registry, files and shell are not part of it.
#include <map>
#include <stdexcept>

#include "platform/machine.hpp"
#include "platform/memory_registry.hpp"
#include "platform/virtual_clock.hpp"

namespace forms_test {

struct TestSystemInfo : platform::SystemInfo {
  platform::VersionRecord version{platform::platform_id::Windows, 4, 10, 0x040A07CE, " A "};
  platform::ProcessorFacts processor{true, 0x0580, 0x008001BF, "AuthenticAMD", 586, 300};
  std::string shortDate = "M/d/yy";
  std::vector<std::string> environment{"PATH=C:\\WINDOWS", "TEMP=C:\\WINDOWS\\TEMP"};
  int showMode = platform::show_mode::ShowNormal;
  platform::ScreenFacts screen{800, 600, 16, 1};
  std::string hostName = "korvane-test";
  bool hostKnown = true;
  std::array<std::uint8_t, 4> hostAddress{192, 168, 1, 20};

  platform::VersionRecord Version() override { return version; }
  platform::ProcessorFacts Processor() override { return processor; }
  std::string ShortDateFormat() override { return shortDate; }
  char DecimalSeparator() override { return '.'; }
  std::vector<std::string> Environment() override { return environment; }
  int StartupShowMode() override { return showMode; }
  platform::ScreenFacts Screen() override { return screen; }
  std::string ComputerName() override { return "KIDSPC"; }
  std::string UserName() override { return "Parent"; }
  bool HostName(std::string& name) override {
    if (!hostKnown) return false;
    name = hostName;
    return true;
  }
  bool HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) override {
    if (!hostKnown || name != hostName) return false;
    address = hostAddress;
    return true;
  }
  std::uint32_t AnsiCodePage() override { return 1252; }
  std::uint32_t OemCodePage() override { return 850; }
};

struct TestProcesses : platform::Processes {
  std::map<std::string, int> semaphores;
  std::map<std::string, std::uint32_t> messages;
  std::vector<std::uint32_t> broadcasts;

  platform::ProcessId CurrentProcessId() override { return 0x100; }
  platform::ErrorCode LoadProcessStatus(std::string_view) override {
    return platform::win_error::ModNotFound;
  }
  platform::ErrorCode EnumerateIds(std::vector<platform::ProcessId>&) override { return 50; }
  platform::ErrorCode OpenProcess(platform::ProcessId, std::uint32_t,
                                  platform::ProcessHandle&) override {
    return platform::win_error::InvalidParameter;
  }
  platform::ErrorCode ModuleBaseName(platform::ProcessHandle, std::string&) override {
    return platform::win_error::InvalidHandle;
  }
  platform::ErrorCode Terminate(platform::ProcessHandle, std::uint32_t) override {
    return platform::win_error::InvalidHandle;
  }
  platform::ErrorCode WaitForExit(platform::ProcessHandle, std::uint32_t) override {
    return platform::win_error::InvalidHandle;
  }
  platform::ErrorCode CloseProcess(platform::ProcessHandle) override {
    return platform::win_error::InvalidHandle;
  }
  platform::ErrorCode Snapshot(std::vector<platform::ProcessEntry>&) override { return 0; }
  std::vector<platform::WindowHandle> TopLevelWindows() override { return {}; }
  platform::ProcessId WindowProcess(platform::WindowHandle) override { return 0; }
  platform::ErrorCode Post(platform::WindowHandle, std::uint32_t, std::uintptr_t,
                           std::intptr_t) override {
    return platform::win_error::InvalidWindowHandle;
  }
  std::uint32_t RegisterMessage(std::string_view name) override {
    auto [entry, added] =
        messages.emplace(std::string(name), 0xC000u + static_cast<std::uint32_t>(messages.size()));
    return entry->second;
  }
  std::size_t Broadcast(std::uint32_t message) override {
    broadcasts.push_back(message);
    return 3;
  }
  platform::ErrorCode CreateNamedSemaphore(std::string_view name, std::int32_t, std::int32_t,
                                           bool& alreadyExisted) override {
    alreadyExisted = ++semaphores[std::string(name)] > 1;
    return 0;
  }
};

struct TestProgramContext : platform::ProgramContext {
  std::string modulePath = "C:\\KVSETUP\\SETUP.EXE";
  std::string tempFolder = "C:\\WINDOWS\\TEMP\\";

  std::string ModulePath() override { return modulePath; }
  std::string CurrentFolder() override { return "C:\\KVSETUP"; }
  platform::ErrorCode SetCurrentFolder(std::string_view) override { return 0; }
  std::string WindowsFolder() override { return "C:\\WINDOWS"; }
  std::string SystemFolder() override { return "C:\\WINDOWS\\SYSTEM"; }
  std::string TempFolder() override { return tempFolder; }
  std::vector<std::pair<std::string, std::string>> ReadIniSection(std::string_view,
                                                                  std::string_view) override {
    return {};
  }
};

class TestMachine : public platform::Machine {
 public:
  TestMachine() : clock_({1999, 6, 2, 15, 10, 0, 0, 0}, 300), codePages_(1252, 850) {}

  platform::Registry& registry() override { return registry_; }
  platform::FileSystem& files() override { throw std::logic_error("no files on a test machine"); }
  platform::Processes& processes() override { return processes_; }
  platform::Shell& shell() override { throw std::logic_error("no shell on a test machine"); }
  platform::SystemInfo& system() override { return system_; }
  platform::ProgramContext& program() override { return program_; }
  platform::CodePages& codePages() override { return codePages_; }
  platform::Clock& clock() override { return clock_; }
  void Save() override {}

  platform::VirtualClock& virtualClock() { return clock_; }
  TestSystemInfo& facts() { return system_; }
  TestProcesses& processTable() { return processes_; }
  TestProgramContext& context() { return program_; }

 private:
  platform::VirtualClock clock_;
  platform::TableCodePages codePages_;
  platform::MemoryRegistry registry_;
  TestSystemInfo system_;
  TestProcesses processes_;
  TestProgramContext program_;
};

}  // namespace forms_test
