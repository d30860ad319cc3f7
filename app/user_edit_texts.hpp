#pragma once
// The texts of the user-account form: its captions per step, the instructions of each step in
// the pieces they are built from, and the question after each saved account.
#include <array>
#include <string_view>

namespace app {

inline constexpr std::string_view kParentStepCaption = "Creating User Accounts";
inline constexpr std::string_view kGuestStepCaption = "Setup Guest (default) Account";
inline constexpr std::string_view kAddUsersCaption = "Add Users";

inline constexpr std::string_view kPasswordLabel = "User Password";
inline constexpr std::string_view kConfirmLabel = "Confirm Password";
inline constexpr std::string_view kConfirmUserLabel = "Confirm User Password";

inline constexpr std::string_view kAddUsersQuestionCaption = "Add other users?";
inline constexpr std::string_view kAddUsersQuestion = "Do you want to add other users now";

inline constexpr std::array<std::string_view, 6> kParentInstructions{
    "Please set up the PARENT account on this computer. PARENT accounts",
    " have the ability to add, remove and edit accounts, block and unblock",
    " sites or categories, and add, remove or change keywords to be",
    " blocked. Please choose a password, and choose the categories of",
    " material that you want blocked for the PARENT account. We recommend",
    " that you choose a PARENT password that will be difficult for anyone to guess."};

inline constexpr std::array<std::string_view, 5> kGuestInstructions{
    "Please set up a GUEST account on this computer. The GUEST account",
    " is the default account, meaning that this is the account that is",
    " automatically activated when you connect to the Internet.  Please",
    " choose which categories the GUEST account is blocked for, and",
    " whether or not this account is disabled upon start-up."};

inline constexpr std::string_view kAddUserInstructions =
    "Enter the user name in the space marked name, and the password in the space marked "
    "password.  '*'s will show in place of the password.  Click on SAVE to save, and QUIT when "
    "you are finished.";

}  // namespace app
