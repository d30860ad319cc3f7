#include "platform/sim/sim_system_info.hpp"

#include "platform/ini_text.hpp"

namespace platform::sim {

std::vector<std::string> SimSystemInfo::Environment() {
  std::vector<std::string> lines;
  for (const auto& [name, value] : config_.environment)
    lines.push_back(name + "=" + value);
  return lines;
}

bool SimSystemInfo::HostName(std::string& name) {
  if (config_.hostName.empty()) return false;
  name = config_.hostName;
  return true;
}

bool SimSystemInfo::HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) {
  if (SameIniName(name, "localhost")) {
    address = {127, 0, 0, 1};
    return true;
  }
  if (config_.hostName.empty() || !config_.hostAddress || !SameIniName(name, config_.hostName))
    return false;
  address = *config_.hostAddress;
  return true;
}

}  // namespace platform::sim
