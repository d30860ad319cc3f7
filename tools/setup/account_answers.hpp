#pragma once
// The answer file's accounts for the user-account form of a new installation:
//   [Parent]  Password, Confirm, Age, Logit, WordBlock and the seven categories
//   [Guest]   Age, Logit, WordBlock and the seven categories
//   [User.N]  Name, Password, Confirm, Age, Submit, Logit, WordBlock, the seven categories,
//             and Cancel=yes to press "Cancel Entry" instead of Save
// Categories are named by their field ("Porn", "Adult", "Violence", "Hate", "Drugs",
// "Gamble", "Weapon"); flags and Cancel are yes or no. A key left out keeps what the form
// shows. [User.1] answers Yes to "Add other users?" after the GUEST step, each further
// [User.N] Yes after the one before; without one the answer is No. The boxes the form
// disables at a step (the user name of PARENT and GUEST, the passwords and the submission
// flag at the GUEST step, the submission flag at the PARENT step) have no keys there.
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/exception.hpp"
#include "tools/setup/answer_file.hpp"

namespace setup_tool {

// An answer that the account form's Save would refuse: the form's own message, after the
// answer file and the section it comes from.
class EAccountAnswer : public platform::Exception {
 public:
  EAccountAnswer(const std::string& source, const std::string& section,
                 std::string_view formMessage);
  const std::string& FormMessage() const { return formMessage_; }

 private:
  std::string formMessage_;
};

struct AccountAnswer {
  std::string section;  // "Parent", "Guest", "User.1", ...
  std::optional<std::string> name;
  std::optional<std::string> password;
  std::optional<std::string> confirm;
  std::optional<std::string> age;     // as the age list spells it
  std::map<std::string, bool> flags;  // by field name ("Porn", "Submit", "Logit", ...)
  bool cancel = false;
};

struct AccountAnswers {
  AccountAnswer parent;
  AccountAnswer guest;
  std::vector<AccountAnswer> added;  // [User.1], [User.2], ... in order
};

// The keys of the three kinds of section.
std::span<const AnswerKey> AccountAnswerKeys();

// Reads the accounts and checks them as the form would: a [User.N] without [User.N-1], a
// section after one that cancels, a name, password or confirmation longer than its box takes,
// or an age that is not in the box raise platform::Exception; an entry Save would refuse (a
// user name under 3 characters, an added PARENT or GUEST, a password that differs from its
// confirmation) raises EAccountAnswer with the form's message.
AccountAnswers ReadAccountAnswers(const AnswerFile& file);

}  // namespace setup_tool
