#include "app/user_account_rules.hpp"

#include <cctype>

namespace app {
namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

std::span<const std::string_view> AddedUserAges() {
  return std::span(kDesignedAges).subspan(1, 18);
}

std::optional<std::string_view> SaveRefusal(const AccountEntry& entry) {
  if (entry.userName.size() < kMinUserNameLength) return kNoUserNameMessage;
  const std::string name = Upper(entry.userName);
  if (entry.inserting && (name == "PARENT" || name == "GUEST")) return kInvalidUserNameMessage;
  if (!entry.passwordsDisabled && Upper(entry.password) != Upper(entry.confirmation)) {
    return kPasswordsDifferMessage;
  }
  return std::nullopt;
}

}  // namespace app
