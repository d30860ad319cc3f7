// The merges of an upgrade on their own: the user's sites of one old list into a copy of the
// new list, the old accounts into a copy of the new users table, and the working copies.
#include "app/indexed_table.hpp"
#include "app/merge_folder.hpp"
#include "app/site_list_import.hpp"
#include "app/table_key.hpp"
#include "app/users_merge.hpp"
#include "installed_tables.hpp"
#include "platform/exception.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tools/mkdist/earlier_install.hpp"

namespace app_test {
namespace {

constexpr std::string_view kWork = "C:\\WORK";
constexpr std::string_view kOld = "C:\\OLD";

std::string InWork(std::string_view name) {
  return std::string(kWork) + "\\" + std::string(name);
}
std::string InOld(std::string_view name) {
  return std::string(kOld) + "\\" + std::string(name);
}

class OldDataMergeTest : public InstalledTablesTest {
 protected:
  tables::TxbExpEngineScope expressions_;

  void SetUp() override {
    MakeMachine("win98");
    ASSERT_EQ(Machine().files().MakeFolder(kWork), 0u);
    ASSERT_EQ(Machine().files().MakeFolder(kOld), 0u);
    newListSet_ = std::make_unique<tables::TXbaseDataSet>("URLSDB");
    oldListSet_ = std::make_unique<tables::TXbaseDataSet>("Temptable");
  }
  void TearDown() override {
    newListSet_.reset();
    oldListSet_.reset();
    InstalledTablesTest::TearDown();
  }
  // The shipped table copied into the work folder, without its index file.
  void CopyShipped(std::string_view name) {
    ASSERT_EQ(Machine().files().Copy("C:\\KVSETUP\\" + std::string(name), InWork(name), false), 0u);
  }
  void ImportList(const mkdist::SiteListName& list, std::vector<mkdist::SiteEntry> oldEntries) {
    const std::string name = std::string(list.name) + ".dat";
    mkdist::WriteTable(kOld, mkdist::SiteListRecipe(list.name, std::move(oldEntries)));
    app::ImportSiteList(*newListSet_, InWork(name), *oldListSet_, InOld(name));
    EXPECT_FALSE(newListSet_->Active());
    EXPECT_FALSE(oldListSet_->Active());
  }
  // Used for every list, as the wizard uses its own two; made on the test's machine.
  std::unique_ptr<tables::TXbaseDataSet> newListSet_, oldListSet_;
  void MergeUsers(mkdist::UsersLayout layout, std::vector<mkdist::UserAccount> oldAccounts) {
    mkdist::WriteTable(kOld, mkdist::UsersRecipe(layout, std::move(oldAccounts)));
    tables::TXbaseDataSet newUsers("UsersDb"), oldUsers("Temptable");
    app::MergeUserTables(newUsers, InWork("KVUS.dat"), oldUsers, InOld("KVUS.dat"));
  }
};

TEST_F(OldDataMergeTest, TheUsersOwnSitesUpdateOrJoinTheNewListAndItsNewIndexStaysTrue) {
  const mkdist::SiteListName list = mkdist::kSiteLists[0];
  CopyShipped("KV015.dat");
  ImportList(list, mkdist::EarlierSiteEntries(list));

  const std::vector<mkdist::SiteEntry> shipped = mkdist::ShippedSites(list);
  const std::vector<mkdist::SiteEntry> sites = ActiveSites(InWork("KV015.dat"));
  ASSERT_EQ(sites.size(), shipped.size() + 3);
  // Appended in the old list's order.
  EXPECT_EQ(sites[shipped.size()].site, "www.My-Own-KV015-Block.com");
  EXPECT_EQ(sites[shipped.size() + 1].site, "own-KV015-lower.net");
  EXPECT_EQ(sites[shipped.size() + 2].site, "own-KV015-no-reason.net");
  EXPECT_EQ(sites[1].site, shipped[1].site);
  EXPECT_EQ(sites[1].user, "Y");
  EXPECT_EQ(sites[1].reasons, "A");
  // The user's mixed-case spelling updates the shipped record and replaces its text.
  EXPECT_EQ(sites[2].site, mkdist::MixedCase(shipped[2].site));
  EXPECT_EQ(sites[2].reasons, "R");
  EXPECT_EQ(sites[0].user, "N");
  ExpectVerified(InWork("KV015.dat"), "SITE");
}

TEST_F(OldDataMergeTest, AnOldListWithoutUserSitesLeavesTheNewListAlone) {
  CopyShipped("KV025.dat");
  const std::string before = ReadFile(InWork("KV025.dat"));
  std::vector<mkdist::SiteEntry> oldEntries = mkdist::ShippedSites({"KV025", 40});
  oldEntries.push_back({"www.user-but-deleted.com", "Y", "P", true});
  oldEntries.push_back({"www.lower-case-flag.com", "y", "P"});
  ImportList(mkdist::kSiteLists[1], oldEntries);
  EXPECT_EQ(ReadFile(InWork("KV025.dat")), before);
  // The tag was built for the look-ups.
  EXPECT_TRUE(Exists(InWork("KV025.CDX")));
}

TEST_F(OldDataMergeTest, TheSameDatasetsImportOneListAfterTheOther) {
  CopyShipped("KV015.dat");
  CopyShipped("KV025.dat");
  ImportList(mkdist::kSiteLists[0], {{"www.first.com", "Y", "A"}});
  ImportList(mkdist::kSiteLists[1], {{"www.second.com", "Y", "B"}});
  EXPECT_EQ(ActiveSites(InWork("KV015.dat")).back().site, "www.first.com");
  EXPECT_EQ(ActiveSites(InWork("KV025.dat")).back().site, "www.second.com");
  ExpectVerified(InWork("KV025.dat"), "SITE");
}

TEST_F(OldDataMergeTest, AnIndexFileAlreadyThereIsUsedAsItIs) {
  CopyShipped("KV035.dat");
  ASSERT_EQ(Machine().files().Copy("C:\\KVSETUP\\KV035.cdx", InWork("KV035.cdx"), false), 0u);
  ImportList(mkdist::kSiteLists[2], {{"www.new-one.com", "Y", "DX"}});
  const std::vector<mkdist::SiteEntry> sites = ActiveSites(InWork("KV035.dat"));
  EXPECT_EQ(sites.back().site, "www.new-one.com");
  EXPECT_EQ(sites.back().reasons, "D");
  ExpectVerified(InWork("KV035.dat"), "SITE");
}

TEST_F(OldDataMergeTest, AnOldListWithAnotherKeyIsRefused) {
  CopyShipped("KV100.dat");
  mkdist::TableRecipe other = mkdist::SiteListRecipe("KV100", {{"www.x.com", "Y", "A"}});
  other.key = "other!!";
  mkdist::WriteTable(kOld, other);
  tables::TXbaseDataSet newList("URLSDB"), oldList("Temptable");
  EXPECT_THROW(app::ImportSiteList(newList, InWork("KV100.dat"), oldList, InOld("KV100.dat")),
               tables::EXbaseEncryption);
}

TEST_F(OldDataMergeTest, AccountsOfAnOlderReleaseGetTheLogAndNoWordBlocking) {
  CopyShipped("KVUS.dat");
  MergeUsers(mkdist::UsersLayout::OlderRelease, mkdist::EarlierAccounts());
  const std::vector<mkdist::UserAccount> accounts = ActiveAccounts(InWork("KVUS.dat"));
  ASSERT_EQ(accounts.size(), 3u);
  const std::vector<mkdist::UserAccount> old = mkdist::EarlierAccounts();
  for (std::size_t i = 0; i < accounts.size(); ++i) {
    SCOPED_TRACE(old[i].name);
    EXPECT_EQ(accounts[i].name, old[i].name);
    EXPECT_EQ(accounts[i].password, old[i].password);
    EXPECT_EQ(accounts[i].age, old[i].age);
    EXPECT_EQ(accounts[i].submit, old[i].submit);
    EXPECT_EQ(accounts[i].blocked, old[i].blocked);
    EXPECT_TRUE(accounts[i].logit);
    EXPECT_FALSE(accounts[i].wordBlock);
  }
  ExpectVerified(InWork("KVUS.dat"), "USERNAME");
}

TEST_F(OldDataMergeTest, AccountsWithBothFlagsKeepThemAndALowerCaseNameIsTheSameAccount) {
  CopyShipped("KVUS.dat");
  mkdist::UserAccount parent{"parent", "PW", "Age 35-49", true, false, true, {}};
  mkdist::UserAccount guest{"GUEST", "", "Grade 1", false, true, false, {}};
  guest.blocked.fill(true);
  MergeUsers(mkdist::UsersLayout::Current, {parent, guest});
  const std::vector<mkdist::UserAccount> accounts = ActiveAccounts(InWork("KVUS.dat"));
  ASSERT_EQ(accounts.size(), 2u);
  EXPECT_EQ(accounts[0].name, "parent");
  EXPECT_EQ(accounts[0].password, "PW");
  EXPECT_FALSE(accounts[0].logit);
  EXPECT_TRUE(accounts[0].wordBlock);
  EXPECT_EQ(accounts[1].age, "Grade 1");
  EXPECT_TRUE(accounts[1].logit);
  EXPECT_FALSE(accounts[1].wordBlock);
}

TEST_F(OldDataMergeTest, WorkingCopiesComeFromTheSetupFolderAndGoAgain) {
  const std::string folder = "C:\\WINDOWS\\TEMP\\KVMERGE";
  {
    app::MergeFolder merge;
    EXPECT_EQ(merge.SourceOf("KV015.dat"), "KV015.dat");
    const std::string copy = merge.WorkingCopy("C:\\KVSETUP", "KV015.Dat");
    EXPECT_EQ(copy, folder + "\\KV015.Dat");
    EXPECT_EQ(ReadFile(copy), ReadFile("C:\\KVSETUP\\KV015.dat"));
    EXPECT_EQ(ReadFile(folder + "\\KV015.CDX"), ReadFile("C:\\KVSETUP\\KV015.cdx"));
    EXPECT_EQ(merge.WorkingCopy("C:\\KVSETUP", "kv015.dat"), copy);
    EXPECT_EQ(merge.SourceOf("KV015.dat"), copy);
    EXPECT_EQ(merge.SourceOf("KV025.dat"), "KV025.dat");
    merge.Clear();
    EXPECT_FALSE(Exists(folder));
    EXPECT_EQ(merge.SourceOf("KV015.dat"), "KV015.dat");
    merge.WorkingCopy("C:\\KVSETUP", "KVUS.dat");
    EXPECT_TRUE(Exists(folder + "\\KVUS.dat"));
  }
  // Left without Clear (a run that stopped), the copies go all the same.
  EXPECT_FALSE(Exists(folder));
}

TEST_F(OldDataMergeTest, AMissingShippedTableCannotBeCopied) {
  app::MergeFolder merge;
  try {
    merge.WorkingCopy("C:\\KVSETUP", "KV999.dat");
    FAIL() << "no error";
  } catch (const platform::Exception& error) {
    EXPECT_NE(std::string(error.what()).find("Setup cannot copy C:\\KVSETUP\\KV999.dat to "),
              std::string::npos)
        << error.what();
  }
}

TEST(IndexFileName, IsTheTablesNameWithCdx) {
  EXPECT_EQ(app::IndexFileOf("C:\\A B\\KV015.Dat"), "C:\\A B\\KV015.CDX");
  EXPECT_EQ(app::IndexFileOf("C:\\A.B\\KVUS"), "C:\\A.B\\KVUS.CDX");
}

}  // namespace
}  // namespace app_test
