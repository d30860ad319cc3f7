#include "memory_users_table.hpp"

namespace app_test {

std::vector<db::TFieldDef> UsersTableFields() {
  std::vector<db::TFieldDef> fields{
      {"UserName", db::FieldType::String, 10}, {"UserPass", db::FieldType::String, 10},
      {"Age", db::FieldType::String, 10},      {"Submit", db::FieldType::Boolean},
      {"Logit", db::FieldType::Boolean},       {"WordBlock", db::FieldType::Boolean}};
  for (std::string_view category : kCategories)
    fields.push_back({std::string(category), db::FieldType::Boolean});
  return fields;
}

void AppendAccount(db::TDataSet& users, const StoredAccount& account) {
  users.Append();
  users.FieldByName("UserName").SetAsString(account.name);
  users.FieldByName("UserPass").SetAsString(account.password);
  users.FieldByName("Age").SetAsString(account.age);
  users.FieldByName("Submit").SetAsBoolean(account.submit);
  users.FieldByName("Logit").SetAsBoolean(account.logit);
  users.FieldByName("WordBlock").SetAsBoolean(account.wordBlock);
  for (std::size_t i = 0; i < kCategories.size(); ++i)
    users.FieldByName(kCategories[i]).SetAsBoolean(account.blocked[i]);
  users.Post();
}

StoredAccount CurrentAccount(const db::TDataSet& users) {
  StoredAccount account;
  account.name = users.FieldByName("UserName").AsString();
  account.password = users.FieldByName("UserPass").AsString();
  account.age = users.FieldByName("Age").AsString();
  account.submit = users.FieldByName("Submit").AsBoolean();
  account.logit = users.FieldByName("Logit").AsBoolean();
  account.wordBlock = users.FieldByName("WordBlock").AsBoolean();
  for (std::size_t i = 0; i < kCategories.size(); ++i)
    account.blocked[i] = users.FieldByName(kCategories[i]).AsBoolean();
  return account;
}

std::vector<StoredAccount> StoredAccounts(db::TDataSet& users) {
  const bool wasOpen = users.Active();
  if (!wasOpen) users.Open();
  std::vector<StoredAccount> accounts;
  for (users.First(); !users.Eof(); users.Next())
    accounts.push_back(CurrentAccount(users));
  if (!wasOpen) users.Close();
  return accounts;
}

MemoryUsersTable::MemoryUsersTable(db::TDataSet& users) : users_(users) {
  users_.Open();
}

bool MemoryUsersTable::SeekUserName(std::string_view upperName) {
  users_.CheckBrowseMode();
  if (users_.IsEmpty()) return false;
  if (users_.Locate("UserName", {db::FieldValue(std::string(upperName))},
                    {.caseInsensitive = true})) {
    return true;
  }
  users_.Last();
  return false;
}

}  // namespace app_test
