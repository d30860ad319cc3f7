#include "platform/native/native_system_info.hpp"

#include <arpa/inet.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/native/host_path_resolver.hpp"
#include "platform/native/host_processor.hpp"

extern char** environ;

namespace platform {
namespace {

constexpr std::size_t kMaxComputerName = 15;

bool ParseAddress(const std::string& text, std::array<std::uint8_t, 4>& address) {
  in_addr parsed{};
  if (inet_pton(AF_INET, text.c_str(), &parsed) != 1) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&parsed.s_addr);
  std::copy(bytes, bytes + 4, address.begin());
  return true;
}

// The first IPv4 address /etc/hosts gives the name (names compare without regard to case).
bool AddressFromHostsFile(const std::string& name, std::array<std::uint8_t, 4>& address) {
  std::ifstream hosts("/etc/hosts");
  for (std::string line; std::getline(hosts, line);) {
    line = line.substr(0, line.find('#'));
    std::istringstream fields(line);
    std::string text;
    if (!(fields >> text)) continue;
    std::array<std::uint8_t, 4> candidate{};
    if (!ParseAddress(text, candidate)) continue;
    for (std::string alias; fields >> alias;) {
      if (SameNameIgnoringCase(alias, name)) {
        address = candidate;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

VersionRecord NativeSystemInfo::Version() {
  VersionRecord version;
  version.platformId = platform_id::Nt;
  version.major = 5;
  version.minor = 0;
  version.build = 2195;
  return version;
}

ProcessorFacts NativeSystemInfo::Processor() {
  ProcessorFacts facts;
  facts.hasIdentification = false;
  facts.megahertz = HostMegahertz();
  return facts;
}

std::vector<std::string> NativeSystemInfo::Environment() {
  std::vector<std::string> lines;
  for (char** entry = environ; entry && *entry; ++entry)
    lines.emplace_back(*entry);
  return lines;
}

std::string NativeSystemInfo::ComputerName() {
  std::string name;
  if (!HostName(name)) return {};
  name = name.substr(0, name.find('.')).substr(0, kMaxComputerName);
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

std::string NativeSystemInfo::UserName() {
  if (const passwd* account = getpwuid(geteuid())) return account->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

bool NativeSystemInfo::HostName(std::string& name) {
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return false;
  name = buffer;
  return true;
}

bool NativeSystemInfo::HostAddress(const std::string& name, std::array<std::uint8_t, 4>& address) {
  if (ParseAddress(name, address)) return true;
  if (SameNameIgnoringCase(name, "localhost")) {
    address = {127, 0, 0, 1};
    return true;
  }
  return AddressFromHostsFile(name, address);
}

}  // namespace platform
