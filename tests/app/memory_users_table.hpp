#pragma once
// A users table in memory for the account form: the fields of "KVUS.dat" (UserName, UserPass
// and Age as text of 10, the flags and the seven categories as truth values) and the look-up
// by upper-cased name that the table's "UserName" tag gives.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/users_table.hpp"
#include "framework/db/memory_data_set.hpp"

namespace app_test {

inline constexpr std::array<std::string_view, 7> kCategories{"Porn",  "Adult",  "Violence", "Hate",
                                                             "Drugs", "Gamble", "Weapon"};

std::vector<db::TFieldDef> UsersTableFields();

struct StoredAccount {
  std::string name;
  std::string password;
  std::string age;
  bool submit = false;
  bool logit = true;
  bool wordBlock = false;
  std::array<bool, 7> blocked{};  // in the order of kCategories
};

// Appends the account to an open dataset.
void AppendAccount(db::TDataSet& users, const StoredAccount& account);
// The account at the current record.
StoredAccount CurrentAccount(const db::TDataSet& users);
// Every stored account, in record order (opens and closes the dataset when it is closed).
std::vector<StoredAccount> StoredAccounts(db::TDataSet& users);

// Works on a dataset the test keeps, so that what the form stored can be read after the form
// has closed the table. Opens it when made.
class MemoryUsersTable : public app::UsersTable {
 public:
  explicit MemoryUsersTable(db::TDataSet& users);

  db::TDataSet& DataSet() override { return users_; }
  bool SeekUserName(std::string_view upperName) override;

 private:
  db::TDataSet& users_;
};

}  // namespace app_test
