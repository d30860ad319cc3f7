// What whole installations leave in the product's tables of the system folder: the accounts of
// a new installation as answered, and on an upgrade the user's own sites and old accounts
// carried into the new tables, without the setup folder ever receiving them.
#include <filesystem>

#include "app/help.hpp"
#include "app/setup.hpp"
#include "app/splash.hpp"
#include "app/table_key.hpp"
#include "framework/forms/form_actor.hpp"
#include "framework/forms/script_backend.hpp"
#include "installed_tables.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tools/mkdist/earlier_install.hpp"
#include "user_edit_form_fixture.hpp"

namespace app_test {
namespace {

using platform::hkey::LocalMachine;

constexpr std::string_view kKV = "Software\\KV";
constexpr std::string_view kSystem98 = "C:\\WINDOWS\\SYSTEM\\";
constexpr std::string_view kMergeFolder = "C:\\WINDOWS\\TEMP\\KVMERGE";

constexpr const char* kUpgradeAnswers =
    "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n[Upgrade]\nImportSites=yes\n"
    "[Finish]\nStartNow=no\n";

std::string InSystem(std::string_view name) {
  return std::string(kSystem98) + std::string(name);
}

const mkdist::UserAccount* Account(const std::vector<mkdist::UserAccount>& accounts,
                                   std::string_view name) {
  for (const mkdist::UserAccount& account : accounts)
    if (account.name == name) return &account;
  return nullptr;
}

class SetupTablesTest : public InstalledTablesTest {
 protected:
  using FolderFiles = std::map<std::string, std::string>;

  // The setup folder's files by name.
  FolderFiles SetupFolderFiles() {
    FolderFiles files;
    for (const auto& entry :
         std::filesystem::directory_iterator(Folder() / "drives" / "C" / "KVSETUP"))
      files[entry.path().filename().string()] = ReadHostFile(entry.path());
    return files;
  }
  // The setup folder's files that are new or changed since before (the installation deletes
  // its stale index files there, nothing else).
  std::vector<std::string> NewOrChangedSetupFiles(const FolderFiles& before) {
    std::vector<std::string> names;
    for (const auto& [name, contents] : SetupFolderFiles()) {
      const auto old = before.find(name);
      if (old == before.end() || old->second != contents) names.push_back(name);
    }
    return names;
  }
};

TEST_F(SetupTablesTest, ANewInstallationStoresTheAnsweredAccounts) {
  MakeMachine("win98");
  SetupResult result = RunSetup(
      "[Setup]\nLicense=accept\n[Proxy]\nUseProxy=no\n"
      "[Parent]\nPassword=Secret\nConfirm=SECRET\nPorn=yes\nGamble=yes\nLogit=yes\n"
      "[Guest]\nAge=Grade 4\nViolence=no\nWordBlock=no\n"
      "[User.1]\nName=kids\nPassword=toys\nConfirm=toys\nAge=Grade 3\nSubmit=yes\n"
      "[User.2]\nName=Teen\nPassword=x\nConfirm=x\nCancel=yes\n"
      "[Finish]\nStartNow=yes\n");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("Add other users? -> yes\nAdd other users? -> yes\n"),
            std::string::npos)
      << result.out;

  const std::vector<mkdist::UserAccount> accounts = ActiveAccounts(InSystem("KVUS.dat"));
  ASSERT_EQ(accounts.size(), 3u);
  const mkdist::UserAccount* parent = Account(accounts, "PARENT");
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(parent->password, "SECRET");
  EXPECT_EQ(parent->age, "Age 25-34");
  EXPECT_TRUE(parent->submit);
  EXPECT_TRUE(parent->logit);
  EXPECT_EQ(parent->blocked, (std::array<bool, 7>{true, false, false, false, false, true, false}));
  const mkdist::UserAccount* guest = Account(accounts, "GUEST");
  ASSERT_NE(guest, nullptr);
  EXPECT_EQ(guest->age, "Grade 4");
  EXPECT_FALSE(guest->wordBlock);
  EXPECT_EQ(guest->blocked, (std::array<bool, 7>{true, true, false, true, true, true, true}));
  const mkdist::UserAccount* kids = Account(accounts, "KIDS");
  ASSERT_NE(kids, nullptr);
  EXPECT_EQ(kids->password, "TOYS");
  EXPECT_EQ(kids->age, "Grade 3");
  EXPECT_TRUE(kids->submit);
  EXPECT_TRUE(kids->wordBlock);
  // "Cancel Entry" left no TEEN behind.
  EXPECT_EQ(Account(accounts, "TEEN"), nullptr);

  // The form's index over the installed table is current; the site lists are as shipped.
  ExpectVerified(InSystem("KVUS.dat"), "USERNAME");
  EXPECT_EQ(ReadFile(InSystem("KV015.dat")), ReadFile("C:\\KVSETUP\\KV015.dat"));
  EXPECT_TRUE(Running("qalvint.exe"));
}

// The filter program the finish page starts opens the users table itself: when it is asked
// for, the account form has stored PARENT and let the table go.
TEST_F(SetupTablesTest, TheUsersTableIsClosedBeforeTheFilterProgramCanStart) {
  MakeMachine("win98");
  WatchingScript script;
  std::string parentAge;
  script.onMessage = [&](const forms::MessageRequest& request) {
    if (request.text != app::kStartNowQuestion) return;
    tables::XBO_dBaseFld users(InSystem("KVUS.dat"), false, true, app::kTableKey);
    users.ReadRecord(1);
    parentAge = users.GetFieldDisplay("Age");
  };
  script.AnswerMessages({forms::ModalResult::No, forms::ModalResult::No, forms::ModalResult::Ok});
  script.Then([](forms::FormActor& form) { form.Click("Finish"); });
  forms::ScriptBackend backend;
  backend.SetAnswers(&script);
  {
    app::SetupProgram setup(backend);
    setup.Forms().splashform->Show();
    backend.Advance(5000);
    for (std::string_view button : {"Next", "Next", "Save", "Save"})
      backend.Actor().Click(button);
    EXPECT_TRUE(script.Done());
  }
  EXPECT_EQ(parentAge, "Age 25-34");
  EXPECT_TRUE(Running("qalvint.exe"));
}

TEST_F(SetupTablesTest, AnUpgradeCarriesTheUsersSitesAndAccountsIntoTheNewTables) {
  MakeMachine("win98");
  mkdist::PutEarlierInstallation();
  const FolderFiles setupFiles = SetupFolderFiles();
  SetupResult result = RunSetup(kUpgradeAnswers);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("import your existing blocking list? -> yes"), std::string::npos);
  EXPECT_EQ(result.out.find("Add other users?"), std::string::npos);

  for (const mkdist::SiteListName& list : mkdist::kSiteLists) {
    SCOPED_TRACE(list.name);
    const std::string own(list.name);
    const std::vector<mkdist::SiteEntry> sites = ActiveSites(InSystem(own + ".dat"));
    const std::vector<mkdist::SiteEntry> shipped = mkdist::ShippedSites(list);
    if (list.name == mkdist::kMissingEarlierList) {
      // No old list: the new one arrives as shipped.
      EXPECT_EQ(ReadFile(InSystem(own + ".dat")), ReadFile("C:\\KVSETUP\\" + own + ".dat"));
      continue;
    }
    // Three sites of the user's own are new; the two the list ships are updated in place.
    EXPECT_EQ(sites.size(), shipped.size() + 3);
    const std::vector<mkdist::SiteEntry> same = EntriesOf(sites, shipped[1].site);
    ASSERT_EQ(same.size(), 1u);
    EXPECT_EQ(same[0].user, "Y");
    EXPECT_EQ(same[0].reasons, "A");
    const std::vector<mkdist::SiteEntry> mixed = EntriesOf(sites, shipped[2].site);
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].site, mkdist::MixedCase(shipped[2].site));
    EXPECT_EQ(mixed[0].user, "Y");
    EXPECT_EQ(mixed[0].reasons, "R");
    const std::vector<mkdist::SiteEntry> added =
        EntriesOf(sites, "www.My-Own-" + own + "-Block.com");
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].site, "www.My-Own-" + own + "-Block.com");
    EXPECT_EQ(added[0].reasons, "A");
    EXPECT_EQ(EntriesOf(sites, "own-" + own + "-lower.net").at(0).reasons, "V");
    EXPECT_EQ(EntriesOf(sites, "own-" + own + "-no-reason.net").at(0).reasons, "");
    // A deleted entry of the user's is not carried; shipped sites keep "N".
    EXPECT_TRUE(EntriesOf(sites, "www.Removed-" + own + ".org").empty());
    EXPECT_EQ(EntriesOf(sites, shipped[3].site).at(0).user, "N");
  }

  const std::vector<mkdist::UserAccount> accounts = ActiveAccounts(InSystem("KVUS.dat"));
  ASSERT_EQ(accounts.size(), 3u);
  const mkdist::UserAccount* parent = Account(accounts, "PARENT");
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(parent->password, mkdist::kEarlierParentPassword);
  for (const mkdist::UserAccount& account : accounts) {
    SCOPED_TRACE(account.name);
    // The older release's table has neither flag.
    EXPECT_TRUE(account.logit);
    EXPECT_FALSE(account.wordBlock);
  }
  EXPECT_EQ(Account(accounts, "GUEST")->blocked, mkdist::EarlierAccounts()[1].blocked);
  EXPECT_EQ(Account(accounts, "KIDS")->password, "CRAYON");

  // The user's data went only to the system folder.
  EXPECT_EQ(NewOrChangedSetupFiles(setupFiles), std::vector<std::string>{});
  EXPECT_FALSE(Exists(kMergeFolder));
  EXPECT_FALSE(Exists(InSystem("KV015.cdx")));
  EXPECT_EQ(String(LocalMachine, kKV, "DefaultUser"), "PARENT");
}

TEST_F(SetupTablesTest, AnUpgradeRunsFromAReadOnlySetupFolder) {
  MakeMachine("win98");
  mkdist::PutEarlierInstallation();
  CloseMachine();
  std::filesystem::create_directories(Folder() / "drives" / "D");
  std::filesystem::copy(Folder() / "drives" / "C" / "KVSETUP",
                        Folder() / "drives" / "D" / "KVSETUP",
                        std::filesystem::copy_options::recursive);
  OpenMachine();
  const std::filesystem::path answers = Folder() / "answers.ini";
  platform::testing::WriteHostFile(answers, kUpgradeAnswers);
  SetupResult result = RunSetupCommand({"--machine", Folder().string(), "--setup-path",
                                        "D:\\KVSETUP", "--answers", answers.string()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(EntriesOf(ActiveSites(InSystem("KV100.dat")), "www.My-Own-KV100-Block.com").size(), 1u);
  EXPECT_EQ(Account(ActiveAccounts(InSystem("KVUS.dat")), "PARENT")->password,
            mkdist::kEarlierParentPassword);
  EXPECT_FALSE(Exists(kMergeFolder));
}

TEST_F(SetupTablesTest, ADamagedOldUsersTableStopsTheUpgradeWithoutLosingAnything) {
  MakeMachine("win98");
  mkdist::PutEarlierInstallation();
  WriteFile(InSystem("KVUS.dat"), "not a table at all");
  const std::string oldList = ReadFile(InSystem("KV015.dat"));
  const FolderFiles setupFiles = SetupFolderFiles();
  SetupResult result = RunSetup(kUpgradeAnswers);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(result.err.find("C:\\WINDOWS\\SYSTEM\\KVUS.DAT"), std::string::npos) << result.err;
  // Nothing was copied: the old tables are as they were, the setup folder too.
  EXPECT_EQ(ReadFile(InSystem("KV015.dat")), oldList);
  EXPECT_EQ(ReadFile(InSystem("KVUS.dat")), "not a table at all");
  EXPECT_EQ(NewOrChangedSetupFiles(setupFiles), std::vector<std::string>{});
  EXPECT_FALSE(Exists(kMergeFolder));
}

TEST_F(SetupTablesTest, AShippedTableWithoutTheKeyStopsSetupBeforeAnyChange) {
  MakeMachine("win98");
  // The shipped users table, stored without encryption, stored without encryption.
  mkdist::TableRecipe plain =
      mkdist::UsersRecipe(mkdist::UsersLayout::Current, mkdist::ShippedAccounts());
  plain.key.clear();
  mkdist::WriteTable("C:\\KVSETUP", plain);
  const auto state = MachineState();
  SetupResult result = RunSetup(kUpgradeAnswers);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_NE(result.err.find("Setup cannot open the table C:\\KVSETUP\\KVUS.dat: "),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("Nothing has been changed on this computer."), std::string::npos);
  EXPECT_EQ(MachineState(), state);
}

}  // namespace
}  // namespace app_test
