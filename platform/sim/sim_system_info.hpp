#pragma once
// System facts of a simulated machine, as machine.ini states them.
#include "platform/sim/machine_config.hpp"
#include "platform/system_info.hpp"

namespace platform::sim {

class SimSystemInfo : public SystemInfo {
 public:
  explicit SimSystemInfo(const MachineConfig& config) : config_(config) {}
  VersionRecord Version() override { return config_.version; }
  ProcessorFacts Processor() override { return config_.processor; }
  std::string ShortDateFormat() override { return config_.shortDateFormat; }
  char DecimalSeparator() override { return config_.decimalSeparator; }
  std::vector<std::string> Environment() override;
  int StartupShowMode() override { return config_.startupShowMode; }
  ScreenFacts Screen() override { return config_.screen; }
  std::string ComputerName() override { return config_.computerName; }
  std::string UserName() override { return config_.userName; }
  bool HostName(std::string& name) override;
  // The machine's own host name (any case) gives its address, "localhost" the loopback one;
  // every other name fails, as on a machine without a name server.
  bool HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) override;
  std::uint32_t AnsiCodePage() override { return config_.ansiCodePage; }
  std::uint32_t OemCodePage() override { return config_.oemCodePage; }

 private:
  const MachineConfig& config_;
};

}  // namespace platform::sim
