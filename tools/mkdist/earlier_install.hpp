#pragma once
// An earlier Korvane installation on a machine, as the installer finds it when it upgrades:
// the product key under HKEY_LOCAL_MACHINE and the per-user key of an older release, the Run
// entry of the filter program, the programs, and the tables in the system folder. The tables
// hold what an upgrade must carry over or leave behind:
//  - site lists with sites the user added ("User" = "Y"): one spelled in mixed case, one that
//    the new list ships too, another shipped one written in mixed case, Reasons "AB", and
//    deleted records of both kinds; the list "KV035" is missing;
//  - a users table of the older release (no "WordBlock", no "Logit") with a PARENT password
//    of its own, GUEST and an added account;
//  - a log and a keyword list with a word of the user's.
#include <string>
#include <string_view>
#include <vector>

#include "tools/mkdist/product_tables.hpp"

namespace mkdist {

// The list the earlier installation lacks.
inline constexpr std::string_view kMissingEarlierList = "KV035";
inline constexpr std::string_view kEarlierParentPassword = "OWL7";

// The site with every other letter, from the first, upper-cased ("WwW.ExAmPlE.CoM").
std::string MixedCase(std::string_view site);

// The entries of an earlier installation's list: shipped entries (some deleted) and the
// user's own, deleted ones among them.
std::vector<SiteEntry> EarlierSiteEntries(const SiteListName& list);
std::vector<UserAccount> EarlierAccounts();

// Writes the earlier installation onto the current machine.
void PutEarlierInstallation();

}  // namespace mkdist
