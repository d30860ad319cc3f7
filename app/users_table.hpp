#pragma once
// The users table as the account form works on it: an open dataset over "KVUS.dat" with the
// fields UserName, UserPass, Age, Submit, Logit, WordBlock and the seven categories, and the
// look-up of an account by name through the tag "UserName" (key "upper(UserName)").
//
// Whoever opens the table supplies both, so the form runs unchanged over the table engine's
// dataset or any other dataset with those fields.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/db/data_set.hpp"

namespace app {

// The seven category fields, truth values: the user is blocked from that category.
inline constexpr std::array<std::string_view, 7> kCategoryFields{
    "Porn", "Adult", "Violence", "Hate", "Drugs", "Gamble", "Weapon"};

class UsersTable {
 public:
  virtual ~UsersTable() = default;

  virtual db::TDataSet& DataSet() = 0;
  // Makes the account current whose upper-cased name is `upperName` (an exact key search).
  // A pending edit is posted first. Without such an account the last record becomes current
  // and the result is false; an empty table stays as it is.
  virtual bool SeekUserName(std::string_view upperName) = 0;
};

// Opens the users table of the system folder given, exclusively, for the account form; raises
// the table's error when it cannot.
using UsersTableOpener = std::function<std::unique_ptr<UsersTable>(const std::string& systemDir)>;

}  // namespace app
