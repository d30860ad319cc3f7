#include "app/users_table_dataset.hpp"

#include "app/indexed_table.hpp"
#include "tables/dataset/xbase_data_set.hpp"

namespace app {
namespace {

class XbaseUsersTable : public UsersTable {
 public:
  explicit XbaseUsersTable(const std::string& systemDir) {
    PointAtTable(users_, systemDir + "\\KVUS.dat", true);
    OpenInTagOrder(users_, systemDir + "\\KVUS.cdx", kUserNameTag);
  }

  db::TDataSet& DataSet() override { return users_; }
  bool SeekUserName(std::string_view upperName) override {
    return users_.SeekKey(upperName, true, false);
  }

 private:
  tables::TXbaseDataSet users_{"UsersDB"};
};

}  // namespace

std::unique_ptr<UsersTable> OpenUsersTable(const std::string& systemDir) {
  return std::make_unique<XbaseUsersTable>(systemDir);
}

}  // namespace app
