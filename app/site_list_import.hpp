#pragma once
// Carrying the sites the user added to an earlier installation's site list ("User" = "Y") into
// the list being installed. Only the user's own entries travel; the new list brings the
// shipped ones. The old "Reasons" shrinks to its first letter, the one the product now keeps.
#include <span>
#include <string>
#include <string_view>

#include "tables/dataset/xbase_data_set.hpp"

namespace app {

// The site lists, in the order they are imported ("KV015", ...).
std::span<const std::string_view> SiteListNames();

// Opens the new list (newListPath, in the order of its tag "SITE", built when its index file
// is missing) in newList and the old list in oldList, both with the product key, merges and
// closes both. The new list is a working copy of the installer's own and is opened
// exclusively, which lets its index pages stay in memory; the old one is opened shared.
void ImportSiteList(tables::TXbaseDataSet& newList, const std::string& newListPath,
                    tables::TXbaseDataSet& oldList, const std::string& oldListPath);

// Walks the open old list from its first record; each user's site updates the new list's
// record of that site (looked up in the key's own form, Upper(SITE)) or is appended.
void MergeUserSites(tables::TXbaseDataSet& newList, tables::TXbaseDataSet& oldList);

}  // namespace app
