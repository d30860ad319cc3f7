#pragma once
// Reading the product's tables of a simulated machine after a run: the active records of a
// site list or a users table through the table engine, and xbtool with the product key.
#include <string>
#include <vector>

#include "setup_run_fixture.hpp"
#include "tools/mkdist/product_tables.hpp"

namespace app_test {

struct ToolRun {
  int code = -1;
  std::string out, err;
};

// Active records only, in record order; texts without trailing blanks.
std::vector<mkdist::SiteEntry> ActiveSites(const std::string& tablePath);
std::vector<mkdist::UserAccount> ActiveAccounts(const std::string& tablePath);
// The entries whose site equals site without regard to case.
std::vector<mkdist::SiteEntry> EntriesOf(const std::vector<mkdist::SiteEntry>& entries,
                                         const std::string& site);

class InstalledTablesTest : public SetupRunTest {
 protected:
  // xbtool on this machine (closed meanwhile), with the product key.
  ToolRun Xbtool(std::vector<std::string> arguments);
  // "xbtool verify" of the table and its index file: clean, with the tag named.
  void ExpectVerified(const std::string& tablePath, const std::string& tag);
};

}  // namespace app_test
