#include "winsec/account_names.hpp"

#include "winsec/nt_exception.hpp"
#include "winsec/sid_store.hpp"

namespace winsec {

using platform::win_error::InsufficientBuffer;
using platform::win_error::NoneMapped;
using platform::win_error::Success;

AccountNames::AccountNames(platform::Security& security, std::string machine)
    : security_(security), machine_(std::move(machine)) {}

const std::string& AccountNames::NtAuthority() {
  if (!ntAuthority_) {
    std::string name;
    std::string domain;
    platform::SidUse use{};
    const auto bytes = platform::well_known_sid::Network().Bytes();
    ntAuthority_ = security_.LookupAccountSid(machine_, bytes, name, domain, use) == Success
                       ? domain
                       : std::string("NT AUTHORITY");
  }
  return *ntAuthority_;
}

std::string AccountNames::DisplayName(const platform::Sid& sid) {
  const auto bytes = sid.Bytes();
  std::string name;
  std::string domain;
  if (const TSidHolder* cached = TSidStore::Instance().Find(bytes)) {
    name = cached->name;
    domain = cached->domain;
  } else {
    platform::SidUse use{};
    const platform::ErrorCode error =
        security_.LookupAccountSid(machine_, bytes, name, domain, use);
    if (error == NoneMapped) return sid.Text();
    CheckSystem(error);
    if (sid == platform::well_known_sid::LocalSystem()) domain.clear();
    TSidStore::Instance().Add(bytes, name, domain);
  }
  if (!domain.empty() && domain == NtAuthority()) domain.clear();
  return domain.empty() ? name : domain + "\\" + name;
}

std::optional<platform::Sid> AccountNames::SidOf(const std::string& name) {
  std::uint32_t size = 0;
  std::string domain;
  platform::SidUse use{};
  platform::ErrorCode error = security_.LookupAccountName(machine_, name, {}, size, domain, use);
  std::vector<std::uint8_t> buffer;
  if (error == InsufficientBuffer) {
    buffer.resize(size);
    error = security_.LookupAccountName(machine_, name, buffer, size, domain, use);
  }
  if (error == NoneMapped) return platform::ParseSidText(name, 8);
  CheckSystem(error);
  auto sid = platform::ReadSid(buffer);
  if (!sid) throw ENTException::System(platform::win_error::InvalidSid);
  return sid;
}

}  // namespace winsec
