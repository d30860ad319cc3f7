// The tables mkdist ships and the earlier installation it can put on a machine, read back
// through the table engine and through xbtool.
#include <set>
#include <sstream>

#include "app/table_key.hpp"
#include "framework/forms/jpeg_decoder.hpp"
#include "platform/sim/sim_machine.hpp"
#include "sim_machine_fixture.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tools/mkdist/earlier_install.hpp"
#include "tools/mkdist/install_picture.hpp"
#include "tools/mkdist/mkdist_command.hpp"
#include "tools/xbtool/xbtool_command.hpp"

namespace app_test {
namespace {

constexpr std::string_view kSystem = "C:\\WINDOWS\\SYSTEM\\";

struct ToolRun {
  int code = -1;
  std::string out, err;
};

class ProductTablesTest : public SimMachineTest {
 protected:
  void SetUp() override { MakeMachine("win98"); }

  std::unique_ptr<tables::XBO_dBaseFld> Open(const std::string& path) {
    return std::make_unique<tables::XBO_dBaseFld>(path, true, false, app::kTableKey);
  }
  // xbtool on this machine (closed meanwhile), with the product key.
  ToolRun Xbtool(std::vector<std::string> arguments) {
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
  // Every record's text of one field, deleted records marked "-".
  std::vector<std::string> Column(tables::XBO_dBaseFld& table, std::string_view field) {
    std::vector<std::string> values;
    for (std::int32_t n = 1; n <= table.recordCount(); ++n) {
      table.ReadRecord(n);
      values.push_back((table.RecordDeleted() ? "-" : "") + table.GetFieldDisplay(field));
    }
    return values;
  }
};

TEST_F(ProductTablesTest, SiteListsHoldThousandsOfShippedSitesAndNoneOfTheUsers) {
  for (const mkdist::SiteListName& list : mkdist::kSiteLists) {
    auto table = Open("C:\\KVSETUP\\" + std::string(list.name) + ".dat");
    EXPECT_TRUE(table->encrypted());
    ASSERT_EQ(table->recordCount(), list.shippedSites) << list.name;
    EXPECT_GE(table->recordCount(), 2000);
    std::set<std::string> sites;
    for (const std::string& site : Column(*table, "Site"))
      sites.insert(site);
    EXPECT_EQ(sites.size(), static_cast<std::size_t>(list.shippedSites));
    for (const std::string& user : Column(*table, "User"))
      ASSERT_EQ(user, "N");
    for (const std::string& reasons : Column(*table, "Reasons"))
      ASSERT_EQ(reasons.size(), 1u);
  }
}

TEST_F(ProductTablesTest, TablesAreSpelledAsTheProductSpellsThem) {
  const std::filesystem::path folder = Folder() / "drives" / "C" / "KVSETUP";
  for (const char* name : {"KV015.dat", "KV015.cdx", "KVUS.dat", "KVUS.cdx", "KVconf.dat",
                           "KVconf.fpt", "KVLog.dat", "KVWords.dat"}) {
    EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
  }
}

TEST_F(ProductTablesTest, EncryptedTablesRefuseNoKeyAndPlainOnesAKey) {
  EXPECT_THROW(tables::XBO_dBaseFld("C:\\KVSETUP\\KVUS.dat", true, false, ""),
               tables::EXbaseEncryption);
  EXPECT_THROW(tables::XBO_dBaseFld("C:\\KVSETUP\\KVconf.dat", true, false, ""),
               tables::EXbaseEncryption);
  EXPECT_THROW(tables::XBO_dBaseFld("C:\\KVSETUP\\KVLog.dat", true, false, app::kTableKey),
               tables::EXbaseEncryption);
  tables::XBO_dBaseFld words("C:\\KVSETUP\\KVWords.dat", true, false, "");
  EXPECT_GT(words.recordCount(), 0);
}

TEST_F(ProductTablesTest, UsersTableShipsParentAndGuestWithLogicalFlags) {
  auto users = Open("C:\\KVSETUP\\KVUS.dat");
  EXPECT_EQ(Column(*users, "UserName"), (std::vector<std::string>{"PARENT", "GUEST"}));
  for (const char* flag : {"Submit", "Logit", "WordBlock", "Porn", "Adult", "Violence", "Hate",
                           "Drugs", "Gamble", "Weapon"}) {
    EXPECT_EQ(users->FieldDescByName(flag).type, 'L') << flag;
  }
  users->ReadRecord(2);
  EXPECT_TRUE(users->GetFieldLogical("Weapon"));
  EXPECT_FALSE(users->GetFieldLogical("Submit"));
  EXPECT_EQ(users->GetFieldDisplay("UserPass"), "");
}

TEST_F(ProductTablesTest, ConfigurationMemoHoldsTheWizardPictureAsJpeg) {
  auto configuration = Open("C:\\KVSETUP\\KVconf.dat");
  configuration->ReadRecord(1);
  const std::string bytes = configuration->GetMemoText("InstallJPG");
  const std::vector<std::uint8_t> expected = mkdist::InstallPictureJpeg();
  ASSERT_EQ(bytes, std::string(expected.begin(), expected.end()));
  const forms::TBitmap bitmap = forms::DecodeJpeg(expected);
  EXPECT_EQ(bitmap.width, 640);
  EXPECT_EQ(bitmap.height, 480);
  // Navy at the top left, the white of the product's name in its first letter.
  EXPECT_LT(bitmap.Pixel(2, 2) & 0xFFFF00, 0x202000u);
  const std::uint32_t letter = bitmap.Pixel(78, 50);
  EXPECT_GT(letter & 0xFF, 0xD0u);
  EXPECT_GT((letter >> 16) & 0xFF, 0xD0u);
}

TEST_F(ProductTablesTest, IndexFilesVerifyAndExportShowsTheRecords) {
  for (const char* table : {"KV015", "KV025", "KV035", "KV100", "KVUS"}) {
    const ToolRun verify = Xbtool({"verify", "C:\\KVSETUP\\" + std::string(table) + ".dat"});
    EXPECT_EQ(verify.code, 0) << verify.err;
    EXPECT_NE(verify.out.find("clean (1 tags)"), std::string::npos) << verify.out;
  }
  const ToolRun tags = Xbtool({"tags", "C:\\KVSETUP\\KV100.dat"});
  EXPECT_NE(tags.out.find("Upper(SITE)"), std::string::npos) << tags.out;
  const ToolRun users = Xbtool({"export", "C:\\KVSETUP\\KVUS.dat", "--json"});
  ASSERT_EQ(users.code, 0) << users.err;
  EXPECT_NE(users.out.find("\"USERNAME\":\"GUEST\""), std::string::npos) << users.out;
  EXPECT_NE(users.out.find("\"WORDBLOCK\":true"), std::string::npos) << users.out;
}

TEST_F(ProductTablesTest, XbtoolGetRawRoundTripsThePictureByteForByte) {
  const ToolRun raw = Xbtool({"get", "C:\\KVSETUP\\KVconf.dat", "1", "InstallJPG", "--raw"});
  ASSERT_EQ(raw.code, 0) << raw.err;
  const std::vector<std::uint8_t> expected = mkdist::InstallPictureJpeg();
  EXPECT_EQ(raw.out, std::string(expected.begin(), expected.end()));
  const ToolRun age = Xbtool({"get", "C:\\KVSETUP\\KVUS.dat", "1", "age"});
  EXPECT_EQ(age.out, "Age 25-34\n");
  const ToolRun flag = Xbtool({"get", "C:\\KVSETUP\\KVUS.dat", "2", "Porn"});
  EXPECT_EQ(flag.out, "T\n");
}

TEST_F(ProductTablesTest, XbtoolGetNamesWhatIsWrong) {
  const ToolRun beyond = Xbtool({"get", "C:\\KVSETUP\\KVUS.dat", "3", "Age"});
  EXPECT_EQ(beyond.code, 2);
  EXPECT_NE(beyond.err.find("beyond EOF"), std::string::npos) << beyond.err;
  const ToolRun field = Xbtool({"get", "C:\\KVSETUP\\KVUS.dat", "1", "Nickname"});
  EXPECT_EQ(field.code, 2);
  EXPECT_NE(field.err.find("field name is invalid"), std::string::npos) << field.err;
  const ToolRun record = Xbtool({"get", "C:\\KVSETUP\\KVUS.dat", "first", "Age"});
  EXPECT_EQ(record.code, 2);
  EXPECT_NE(record.err.find("RECNO"), std::string::npos) << record.err;
}

class EarlierInstallTest : public ProductTablesTest {
 protected:
  void SetUp() override {
    MakeMachine("win98", false);
    mkdist::PutEarlierInstallation();
  }
};

TEST_F(EarlierInstallTest, SiteListsHoldTheUsersOwnSitesAndDeletedRecords) {
  EXPECT_FALSE(Exists(std::string(kSystem) + "KV035.dat"));
  auto list = Open(std::string(kSystem) + "KV015.dat");
  const std::vector<std::string> sites = Column(*list, "Site");
  const std::vector<std::string> users = Column(*list, "User");
  const std::vector<std::string> reasons = Column(*list, "Reasons");
  std::vector<std::string> own;
  for (std::size_t i = 0; i < sites.size(); ++i)
    if (users[i] == "Y" || users[i] == "-Y") own.push_back(sites[i] + "|" + reasons[i]);
  ASSERT_EQ(own.size(), 6u);
  // The one the new list ships too, spelled the same.
  const std::string shipped = mkdist::ShippedSites(mkdist::kSiteLists[0])[1].site;
  EXPECT_EQ(own[0], shipped + "|AB");
  EXPECT_EQ(own[1], "www.My-Own-KV015-Block.com|AB");
  EXPECT_EQ(own[3], "-www.Removed-KV015.org|-H");
  EXPECT_EQ(own[4], "own-KV015-no-reason.net|");
  const std::string mixed = mkdist::ShippedSites(mkdist::kSiteLists[0])[2].site;
  EXPECT_EQ(own[5], mkdist::MixedCase(mixed) + "|RV");
  EXPECT_NE(mkdist::MixedCase(mixed), mixed);
  const auto deleted = std::count_if(sites.begin(), sites.end(),
                                     [](const std::string& site) { return site[0] == '-'; });
  EXPECT_EQ(deleted, 600 / 7 + 1 + 1);
}

TEST_F(EarlierInstallTest, UsersTableIsOfTheOlderReleaseWithItsOwnParentPassword) {
  auto users = Open(std::string(kSystem) + "KVUS.dat");
  EXPECT_EQ(Column(*users, "UserName"), (std::vector<std::string>{"PARENT", "GUEST", "KIDS"}));
  EXPECT_THROW(users->FieldDescByName("WordBlock"), tables::EXbaseError);
  EXPECT_THROW(users->FieldDescByName("Logit"), tables::EXbaseError);
  users->ReadRecord(1);
  EXPECT_EQ(users->GetFieldDisplay("UserPass"), "OWL7");
  users->ReadRecord(2);
  EXPECT_FALSE(users->GetFieldLogical("Violence"));
  EXPECT_TRUE(users->GetFieldLogical("Porn"));
}

TEST_F(EarlierInstallTest, RegistryKeysAndIndexesOfTheEarlierInstallation) {
  using platform::hkey::CurrentUser;
  using platform::hkey::LocalMachine;
  EXPECT_EQ(String(LocalMachine, "Software\\KV", "DefaultUser"), "PARENT");
  EXPECT_EQ(Dword(LocalMachine, "Software\\KV", "IdleTimeOut"), 20u);
  EXPECT_EQ(Dword(CurrentUser, "Software\\KV", "Sound"), 1u);
  EXPECT_EQ(String(LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Qalvint"),
            "qalvint");
  EXPECT_TRUE(Exists(std::string(kSystem) + "Qalvint.exe"));
  const ToolRun verify = Xbtool({"verify", std::string(kSystem) + "KV100.dat"});
  EXPECT_EQ(verify.code, 0) << verify.err;
}

TEST_F(EarlierInstallTest, CommandLineWritesItAndRefusesAFolder) {
  CloseMachine();
  std::ostringstream out, err;
  EXPECT_EQ(mkdist::RunMkdist({"--earlier", Folder().string(), "--folder", "C:\\X"}, out, err),
            mkdist::kMkdistUsage);
  EXPECT_NE(err.str().find("--folder does not go with it"), std::string::npos);
  EXPECT_EQ(mkdist::RunMkdist({"--earlier", Folder().string()}, out, err), mkdist::kMkdistDone)
      << err.str();
  EXPECT_NE(out.str().find("an earlier installation put on"), std::string::npos);
  OpenMachine();
  EXPECT_TRUE(Exists(std::string(kSystem) + "KVUS.dat"));
}

}  // namespace
}  // namespace app_test
