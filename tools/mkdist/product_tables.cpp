#include "tools/mkdist/product_tables.hpp"

#include "app/table_key.hpp"
#include "tools/mkdist/install_picture.hpp"

namespace mkdist {
namespace {

using tables::XbFieldDef;

constexpr std::uint8_t kPlainVersion = 0x03;
constexpr std::uint8_t kMemoVersion = 0xF5;  // memo file ".fpt"

std::vector<XbFieldDef> UserFields(UsersLayout layout) {
  std::vector<XbFieldDef> fields = {
      {"UserName", 'C', 10}, {"UserPass", 'C', 10}, {"Age", 'C', 10}, {"Submit", 'L', 1}};
  if (layout == UsersLayout::Current) {
    fields.push_back({"Logit", 'L', 1});
    fields.push_back({"WordBlock", 'L', 1});
  }
  for (std::string_view category : kCategoryFields)
    fields.push_back({std::string(category), 'L', 1});
  return fields;
}

void AppendAccount(tables::XBO_dBaseFld& table, UsersLayout layout, const UserAccount& account) {
  AppendRecord(table, [&] {
    table.SetFieldText("UserName", account.name);
    table.SetFieldText("UserPass", account.password);
    table.SetFieldText("Age", account.age);
    table.SetFieldLogical("Submit", account.submit);
    if (layout == UsersLayout::Current) {
      table.SetFieldLogical("Logit", account.logit);
      table.SetFieldLogical("WordBlock", account.wordBlock);
    }
    for (std::size_t i = 0; i < kCategoryFields.size(); ++i)
      table.SetFieldLogical(kCategoryFields[i], account.blocked[i]);
  });
}

}  // namespace

std::vector<SiteEntry> ShippedSites(const SiteListName& list) {
  std::uint32_t seed = 0;
  for (char c : list.name)
    seed = seed * 31 + static_cast<unsigned char>(c);
  std::vector<SiteEntry> entries;
  for (ListedSite& listed : SyntheticSites(seed, list.shippedSites))
    entries.push_back({std::move(listed.site), "N", std::move(listed.reasons)});
  return entries;
}

std::vector<UserAccount> ShippedAccounts() {
  UserAccount parent{"PARENT", "", "Age 25-34", true, false, false, {}};
  UserAccount guest{"GUEST", "", "Preschool", false, true, true, {}};
  guest.blocked.fill(true);
  return {parent, guest};
}

TableRecipe SiteListRecipe(std::string_view listName, std::vector<SiteEntry> entries) {
  TableRecipe recipe;
  recipe.fileName = std::string(listName) + ".dat";
  recipe.version = kPlainVersion;
  recipe.fields = {{"Site", 'C', 80}, {"User", 'C', 1}, {"Reasons", 'C', 10}};
  recipe.key = std::string(app::kTableKey);
  recipe.fill = [entries = std::move(entries)](tables::XBO_dBaseFld& table) {
    for (const SiteEntry& entry : entries) {
      AppendRecord(table, [&] {
        table.SetFieldText("Site", entry.site);
        table.SetFieldText("User", entry.user);
        table.SetFieldText("Reasons", entry.reasons);
      });
      // A new record is always appended active.
      if (entry.deleted) {
        table.SetRecordDeleted(true);
        table.WriteRecord(table.recordCount());
      }
    }
  };
  recipe.tags = {PlainTag("SITE", "Upper(SITE)")};
  return recipe;
}

TableRecipe UsersRecipe(UsersLayout layout, std::vector<UserAccount> accounts) {
  TableRecipe recipe;
  recipe.fileName = "KVUS.dat";
  recipe.version = kPlainVersion;
  recipe.fields = UserFields(layout);
  recipe.key = std::string(app::kTableKey);
  recipe.fill = [layout, accounts = std::move(accounts)](tables::XBO_dBaseFld& table) {
    for (const UserAccount& account : accounts)
      AppendAccount(table, layout, account);
  };
  recipe.tags = {PlainTag("UserName", "upper(UserName)")};
  return recipe;
}

TableRecipe ConfigurationRecipe(std::vector<std::uint8_t> installPicture) {
  TableRecipe recipe;
  recipe.fileName = "KVconf.dat";
  recipe.version = kMemoVersion;
  recipe.fields = {{"Version", 'C', 10}, {"InstallJPG", 'M', 10}};
  recipe.key = std::string(app::kTableKey);
  recipe.fill = [picture = std::move(installPicture)](tables::XBO_dBaseFld& table) {
    AppendRecord(table, [&] {
      table.SetFieldText("Version", "3.0");
      table.SetMemoText(
          "InstallJPG",
          std::string_view(reinterpret_cast<const char*>(picture.data()), picture.size()));
    });
  };
  return recipe;
}

TableRecipe LogRecipe() {
  TableRecipe recipe;
  recipe.fileName = "KVLog.dat";
  recipe.fields = {
      {"UserName", 'C', 10}, {"Site", 'C', 80}, {"Visited", 'D', 8}, {"Blocked", 'L', 1}};
  return recipe;
}

TableRecipe KeywordRecipe(std::vector<std::string> words) {
  TableRecipe recipe;
  recipe.fileName = "KVWords.dat";
  recipe.fields = {{"Word", 'C', 30}, {"UserName", 'C', 10}};
  recipe.fill = [words = std::move(words)](tables::XBO_dBaseFld& table) {
    for (const std::string& word : words)
      AppendRecord(table, [&] { table.SetFieldText("Word", word); });
  };
  return recipe;
}

void WriteShippedTables(std::string_view folder) {
  for (const SiteListName& list : kSiteLists)
    WriteTable(folder, SiteListRecipe(list.name, ShippedSites(list)));
  WriteTable(folder, UsersRecipe(UsersLayout::Current, ShippedAccounts()));
  WriteTable(folder, ConfigurationRecipe(InstallPictureJpeg()));
  WriteTable(folder, LogRecipe());
  WriteTable(folder, KeywordRecipe({"casino", "jackpot", "wager", "betting", "lottery"}));
}

}  // namespace mkdist
