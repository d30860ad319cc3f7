#pragma once
// A small users dataset in memory (PARENT, GUEST, KID) for the dataset tests, and a helper
// that returns the message of the EDatabaseError an action raises.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/db/database_error.hpp"
#include "framework/db/memory_data_set.hpp"

namespace db_test {

inline std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const db::EDatabaseError& error) {
    return error.what();
  }
  return "no error";
}

class UsersTest : public ::testing::Test {
 protected:
  UsersTest() {
    table.Open();
    AddUser("PARENT", 1);
    AddUser("GUEST", 2);
    AddUser("KID", 3);
    table.First();
  }
  void AddUser(const std::string& name, std::int64_t visits) {
    table.Append();
    table.FieldByName("UserName").SetAsString(name);
    table.FieldByName("Visits").SetAsLargeInt(visits);
    table.Post();
  }
  std::string Name() const { return table.FieldByName("UserName").AsString(); }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next())
      names.push_back(Name());
    return names;
  }

  db::MemoryDataSet table{{{"UserName", db::FieldType::String, 10},
                           {"Logit", db::FieldType::Boolean},
                           {"Visits", db::FieldType::LargeInt},
                           {"Notes", db::FieldType::Memo}}};
};

}  // namespace db_test
