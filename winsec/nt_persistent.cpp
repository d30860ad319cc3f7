#include "winsec/nt_persistent.hpp"

#include "platform/machine.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/trimmed.hpp"

namespace winsec {
namespace {

bool SameMachine(std::string a, std::string b) {
  const auto strip = [](std::string& name) {
    name.erase(0, name.find_first_not_of('\\'));
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  };
  strip(a);
  strip(b);
  return a == b;
}

}  // namespace

TNTPersistent::TNTPersistent(forms::TComponent& owner, std::string name)
    : TComponent(&owner, std::move(name)) {}

TNTPersistent::~TNTPersistent() {
  if (connectedShare_.empty() || !platform::HasCurrentMachine()) return;
  // A connection left open would only outlive the program; nothing to report here.
  platform::CurrentMachine().security().CancelConnection(connectedShare_);
}

void TNTPersistent::SetMachineName(const std::string& machineName) {
  if (machineName == machineName_) return;
  Disconnect();
  machineName_ = machineName;
  Connect();
}

void TNTPersistent::Loaded() {
  Connect();
}

void TNTPersistent::Connect() {
  const std::string machine = Trimmed(machineName_);
  auto& platformMachine = platform::CurrentMachine();
  if (machine.empty() || SameMachine(machine, Trimmed(platformMachine.system().ComputerName())))
    return;
  if (logonAs_.UserName.empty() && logonAs_.Password.empty()) return;
  platform::Security& security = platformMachine.security();
  const std::string share = machine + "\\IPC$";
  platform::ErrorCode error = security.AddConnection(share, logonAs_.UserName, logonAs_.Password);
  if (error == platform::win_error::SessionCredentialConflict) {
    security.CancelConnection(share);
    error = security.AddConnection(share, logonAs_.UserName, logonAs_.Password);
  }
  CheckSystem(error);
  connectedShare_ = share;
}

void TNTPersistent::Disconnect() {
  if (connectedShare_.empty()) return;
  platform::CurrentMachine().security().CancelConnection(connectedShare_);
  connectedShare_.clear();
}

}  // namespace winsec
