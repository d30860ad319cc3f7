#pragma once
// The rules of the user-account form: what its Save accepts, with the messages it shows, and
// the age lists of its age box. The form and the answer file of an unattended run both use
// them, so that an answer the form would refuse is refused before anything changes.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kNoUserNameMessage = "You must enter a user name";
inline constexpr std::string_view kInvalidUserNameMessage = "Invalid User Name";
inline constexpr std::string_view kPasswordsDifferMessage =
    "The \"User Password\" and \"Confirm Password\" don't match.  Please re-enter both.";

inline constexpr std::size_t kMinUserNameLength = 3;
// The width of the users table's "UserName" and "UserPass" fields: their edits, and the
// confirmation box, take no more.
inline constexpr std::size_t kMaxUserNameLength = 10;
inline constexpr std::size_t kMaxPasswordLength = 10;

// The age box as the form is designed (the first entry shown at first).
inline constexpr std::array<std::string_view, 20> kDesignedAges{
    "Age 25-34", "Preschool", "Grade 1",   "Grade 2",   "Grade 3",  "Grade 4",  "Grade 5",
    "Grade 6",   "Grade 7",   "Grade 8",   "Grade 9",   "Grade 10", "Grade 11", "Grade 12",
    "Age 18-24", "Age 25-34", "Age 35-49", "Age 50-64", "Age 65 +", " "};
// The age box once accounts are being added: "Preschool" to "Age 65 +".
std::span<const std::string_view> AddedUserAges();

// What Save checks of the entry on the form.
struct AccountEntry {
  std::string userName;
  std::string password;
  std::string confirmation;
  bool inserting = false;  // a new account, not the PARENT or GUEST record being edited
  // The GUEST step: both password boxes are disabled, so the step is saved whatever the
  // confirmation box still holds from the PARENT step.
  bool passwordsDisabled = false;
};

// The message Save shows for the entry, or nothing when Save accepts it. Checked in the form's
// order: a user name under 3 characters, a new account named PARENT or GUEST (any case), a
// password that differs from its confirmation (case ignored).
std::optional<std::string_view> SaveRefusal(const AccountEntry& entry);

}  // namespace app
