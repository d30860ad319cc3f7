#pragma once
// The product's tables as a setup folder ships them (and as an earlier installation left them):
// the four site lists, the users table, the configuration table with the wizard's picture,
// the log and the keyword list. The site lists, the users table and the configuration table
// are encrypted with the product key.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mkdist/site_names.hpp"
#include "tools/mkdist/table_builder.hpp"

namespace mkdist {

// The site lists in the order the installer imports them, with how many sites each ships.
struct SiteListName {
  std::string_view name;  // "KV015"
  int shippedSites;
};
inline constexpr std::array<SiteListName, 4> kSiteLists{
    {{"KV015", 3000}, {"KV025", 2500}, {"KV035", 2000}, {"KV100", 4000}}};

// One entry of a site list: "User" is "Y" for a site the user added, "N" for a shipped one.
struct SiteEntry {
  std::string site;
  std::string user;
  std::string reasons;
  bool deleted = false;
};

// The seven categories, by field name, in the account form's order.
inline constexpr std::array<std::string_view, 7> kCategoryFields{
    "Porn", "Adult", "Violence", "Hate", "Drugs", "Gamble", "Weapon"};

struct UserAccount {
  std::string name;
  std::string password;
  std::string age;
  bool submit = false;
  bool logit = true;
  bool wordBlock = true;
  std::array<bool, 7> blocked{};  // by kCategoryFields
};

// Releases of the users table: the older one has no "WordBlock" and no "Logit".
enum class UsersLayout { Current, OlderRelease };

// The sites a shipped list holds (none added by the user).
std::vector<SiteEntry> ShippedSites(const SiteListName& list);
// PARENT and GUEST as the product ships them.
std::vector<UserAccount> ShippedAccounts();

TableRecipe SiteListRecipe(std::string_view listName, std::vector<SiteEntry> entries);
TableRecipe UsersRecipe(UsersLayout layout, std::vector<UserAccount> accounts);
TableRecipe ConfigurationRecipe(std::vector<std::uint8_t> installPicture);
TableRecipe LogRecipe();
TableRecipe KeywordRecipe(std::vector<std::string> words);

// Writes every table of a setup folder into folder.
void WriteShippedTables(std::string_view folder);

}  // namespace mkdist
