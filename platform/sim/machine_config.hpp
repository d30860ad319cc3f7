#pragma once
// The facts of a simulated machine as machine.ini holds them: Windows version and folders,
// names, locale, host lookup, screen, processor, drives, environment and clock.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock.hpp"
#include "platform/sim/sim_context.hpp"
#include "platform/system_info.hpp"

namespace platform::sim {

struct DriveConfig {
  char letter = 'C';
  DriveKind kind = DriveKind::Fixed;
  std::string fileSystem = "FAT";
};

struct MachineConfig {
  std::string profile;  // "win95", "win98", "nt4", "win2000" or any name a person gives
  VersionRecord version;
  std::string windowsFolder, systemFolder, tempFolder;
  std::string computerName = "KORVANE-PC";
  std::string userName = "User";
  std::uint32_t ansiCodePage = 1252;
  std::uint32_t oemCodePage = 437;
  std::string shortDateFormat = "M/d/yy";
  char decimalSeparator = '.';
  std::string hostName;                                    // empty: the lookup fails
  std::optional<std::array<std::uint8_t, 4>> hostAddress;  // none: the lookup fails
  int startupShowMode = show_mode::ShowDefault;
  ScreenFacts screen;
  ProcessorFacts processor;
  std::vector<DriveConfig> drives;
  std::vector<std::pair<std::string, std::string>> environment;
  bool virtualClock = false;
  std::optional<LocalTime> clockStart;  // where a virtual clock starts; the host's time if unset

  bool NtFamily() const { return version.platformId == platform_id::Nt; }
};

// Reads machine.ini. Throws platform::Exception naming `source` and the line of a malformed
// or unknown entry, or the missing entry.
MachineConfig ParseMachineIni(std::string_view text, std::string_view source);
std::string WriteMachineIni(const MachineConfig& config);

}  // namespace platform::sim
