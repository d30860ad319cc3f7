#pragma once
// System facts of the native machine: names, environment and processor speed from the host;
// what has no host counterpart is fixed: a Windows 2000 version record, US date and number
// formats ("M/d/yy", "."), code pages 1252 and 437. Host names are looked up only in the
// host's /etc/hosts, never through a name server.
#include "platform/system_info.hpp"

namespace platform {

class NativeSystemInfo final : public SystemInfo {
 public:
  VersionRecord Version() override;
  // The speed of the host's processor; no identification is claimed.
  ProcessorFacts Processor() override;
  std::string ShortDateFormat() override { return "M/d/yy"; }
  char DecimalSeparator() override { return '.'; }
  std::vector<std::string> Environment() override;
  int StartupShowMode() override { return show_mode::ShowDefault; }
  ScreenFacts Screen() override { return {}; }
  // The host name up to its first dot, upper-cased and cut to 15 characters, as a NetBIOS
  // computer name is.
  std::string ComputerName() override;
  std::string UserName() override;
  bool HostName(std::string& name) override;
  bool HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) override;
  std::uint32_t AnsiCodePage() override { return 1252; }
  std::uint32_t OemCodePage() override { return 437; }
};

}  // namespace platform
