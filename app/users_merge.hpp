#pragma once
// Carrying an earlier installation's user accounts into the users table being installed.
#include <string>

#include "tables/dataset/xbase_data_set.hpp"

namespace app {

// Opens the new users table (newUsersPath, in the order of its tag "UserName", built when its
// index file is missing) in newUsers and the old one in oldUsers, both exclusively with the
// product key, merges and closes both.
void MergeUserTables(tables::TXbaseDataSet& newUsers, const std::string& newUsersPath,
                     tables::TXbaseDataSet& oldUsers, const std::string& oldUsersPath);

// Walks the open old table from its first record; each account updates the new table's
// account of that name (looked up upper-cased, as the tag keeps it) or is appended. Name,
// password, age, submission and the seven categories are copied; "Logit" and "WordBlock" too
// where the old table has them, else they become true and false.
void MergeAccounts(tables::TXbaseDataSet& newUsers, tables::TXbaseDataSet& oldUsers);

}  // namespace app
