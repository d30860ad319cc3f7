#include "app/users_merge.hpp"

#include "app/indexed_table.hpp"
#include "app/users_table.hpp"
#include "platform/machine.hpp"

namespace app {
namespace {

void CarryAccount(tables::TXbaseDataSet& newUsers, tables::TXbaseDataSet& oldUsers) {
  const std::string name = oldUsers.FieldByName("UserName").AsString();
  if (newUsers.SeekKey(platform::CurrentMachine().codePages().Upper(name), true, false)) {
    newUsers.Edit();
  } else {
    newUsers.Append();
  }
  for (std::string_view field : {"UserName", "Submit", "UserPass", "Age"})
    newUsers.FieldByName(field).SetAsString(oldUsers.FieldByName(field).AsString());
  newUsers.FieldByName("LogIt").SetAsBoolean(true);
  newUsers.FieldByName("WordBlock").SetAsBoolean(false);
  for (std::string_view category : kCategoryFields)
    newUsers.FieldByName(category).SetAsBoolean(oldUsers.FieldByName(category).AsBoolean());
  // An older release's table lacks both flags.
  if (const db::TField* wordBlock = oldUsers.FindField("WordBlock"))
    newUsers.FieldByName("WordBlock").SetAsBoolean(wordBlock->AsBoolean());
  if (const db::TField* logit = oldUsers.FindField("Logit"))
    newUsers.FieldByName("Logit").SetAsString(logit->AsString());
  newUsers.Post();
}

}  // namespace

void MergeUserTables(tables::TXbaseDataSet& newUsers, const std::string& newUsersPath,
                     tables::TXbaseDataSet& oldUsers, const std::string& oldUsersPath) {
  PointAtTable(newUsers, newUsersPath, true);
  PointAtTable(oldUsers, oldUsersPath, true);
  OpenInTagOrder(newUsers, IndexFileOf(newUsersPath), kUserNameTag);
  oldUsers.Open();
  MergeAccounts(newUsers, oldUsers);
  oldUsers.Close();
  newUsers.Close();
}

void MergeAccounts(tables::TXbaseDataSet& newUsers, tables::TXbaseDataSet& oldUsers) {
  oldUsers.First();
  while (!oldUsers.Eof()) {
    CarryAccount(newUsers, oldUsers);
    oldUsers.Next();
  }
}

}  // namespace app
