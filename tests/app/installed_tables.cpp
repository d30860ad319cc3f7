#include "installed_tables.hpp"

#include <algorithm>
#include <sstream>

#include "app/table_key.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tools/xbtool/xbtool_command.hpp"

namespace app_test {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::vector<mkdist::SiteEntry> ActiveSites(const std::string& tablePath) {
  tables::XBO_dBaseFld table(tablePath, true, false, app::kTableKey);
  std::vector<mkdist::SiteEntry> entries;
  for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
    table.ReadRecord(n);
    if (table.RecordDeleted()) continue;
    entries.push_back({table.GetFieldDisplay("Site"), table.GetFieldDisplay("User"),
                       table.GetFieldDisplay("Reasons")});
  }
  return entries;
}

std::vector<mkdist::UserAccount> ActiveAccounts(const std::string& tablePath) {
  tables::XBO_dBaseFld table(tablePath, true, false, app::kTableKey);
  std::vector<mkdist::UserAccount> accounts;
  for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
    table.ReadRecord(n);
    if (table.RecordDeleted()) continue;
    mkdist::UserAccount account{table.GetFieldDisplay("UserName"),
                                table.GetFieldDisplay("UserPass"),
                                table.GetFieldDisplay("Age"),
                                table.GetFieldLogical("Submit"),
                                table.GetFieldLogical("Logit"),
                                table.GetFieldLogical("WordBlock"),
                                {}};
    for (std::size_t i = 0; i < mkdist::kCategoryFields.size(); ++i)
      account.blocked[i] = table.GetFieldLogical(mkdist::kCategoryFields[i]);
    accounts.push_back(account);
  }
  return accounts;
}

std::vector<mkdist::SiteEntry> EntriesOf(const std::vector<mkdist::SiteEntry>& entries,
                                         const std::string& site) {
  std::vector<mkdist::SiteEntry> found;
  for (const mkdist::SiteEntry& entry : entries)
    if (Lower(entry.site) == Lower(site)) found.push_back(entry);
  return found;
}

ToolRun InstalledTablesTest::Xbtool(std::vector<std::string> arguments) {
  CloseMachine();
  arguments.insert(arguments.end(),
                   {"--machine", Folder().string(), "--key", std::string(app::kTableKey)});
  std::ostringstream out, err;
  ToolRun run;
  run.code = tools::xbtool::RunXbtool(arguments, out, err);
  run.out = out.str();
  run.err = err.str();
  OpenMachine();
  return run;
}

void InstalledTablesTest::ExpectVerified(const std::string& tablePath, const std::string& tag) {
  const ToolRun verify = Xbtool({"verify", tablePath});
  EXPECT_EQ(verify.code, 0) << verify.out << verify.err;
  EXPECT_NE(verify.out.find("clean (1 tags)"), std::string::npos) << verify.out;
  const ToolRun tags = Xbtool({"tags", tablePath});
  EXPECT_NE(tags.out.find(tag), std::string::npos) << tags.out;
}

}  // namespace app_test
