#include "app/site_list_import.hpp"

#include <array>

#include "app/indexed_table.hpp"
#include "platform/machine.hpp"

namespace app {
namespace {

constexpr std::array<std::string_view, 4> kSiteLists{"KV015", "KV025", "KV035", "KV100"};

void CarryUserSite(tables::TXbaseDataSet& newList, tables::TXbaseDataSet& oldList) {
  const std::string site = oldList.FieldByName("Site").AsString();
  // The tag holds Upper(SITE): a site the user wrote in another case is the same site.
  if (newList.SeekKey(platform::CurrentMachine().codePages().Upper(site), true, false)) {
    newList.Edit();
  } else {
    newList.Append();
  }
  newList.FieldByName("Site").SetAsString(site);
  newList.FieldByName("User").SetAsString("Y");
  std::string reasons;
  oldList.GetFieldText("Reasons", reasons);
  newList.SetFieldText("Reasons", reasons.substr(0, 1));
  newList.Post();
}

}  // namespace

std::span<const std::string_view> SiteListNames() {
  return kSiteLists;
}

void ImportSiteList(tables::TXbaseDataSet& newList, const std::string& newListPath,
                    tables::TXbaseDataSet& oldList, const std::string& oldListPath) {
  PointAtTable(newList, newListPath, true);
  PointAtTable(oldList, oldListPath, false);
  OpenInTagOrder(newList, IndexFileOf(newListPath), kSiteTag);
  oldList.Open();
  MergeUserSites(newList, oldList);
  oldList.Close();
  newList.Close();
}

void MergeUserSites(tables::TXbaseDataSet& newList, tables::TXbaseDataSet& oldList) {
  oldList.First();
  while (!oldList.Eof()) {
    if (oldList.FieldByName("User").AsString() == "Y") CarryUserSite(newList, oldList);
    oldList.Next();
  }
}

}  // namespace app
