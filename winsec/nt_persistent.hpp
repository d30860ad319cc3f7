#pragma once
// TNTPersistent: the base of the security components. It holds the machine the component
// works on (empty: this one) and the account it logs on to that machine with; a machine
// other than this one is connected through its IPC$ share when a user name or password is
// given.
#include <string>

#include "framework/forms/component.hpp"

namespace winsec {

struct TLogonAs {
  std::string UserName;
  std::string Password;
};

class TNTPersistent : public forms::TComponent {
 public:
  TNTPersistent(forms::TComponent& owner, std::string name);
  ~TNTPersistent() override;

  virtual std::string MachineName() const { return machineName_; }
  // A different name cancels the connection to the old machine and connects to the new one.
  virtual void SetMachineName(const std::string& machineName);
  TLogonAs& LogonAs() { return logonAs_; }
  // Failures are raised (the components are never designed or streamed here).
  virtual bool RaisesErrors() const { return true; }
  void Loaded() override;

 private:
  void Connect();
  void Disconnect();

  std::string machineName_;
  TLogonAs logonAs_;
  std::string connectedShare_;
};

}  // namespace winsec
