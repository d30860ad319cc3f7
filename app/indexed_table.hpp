#pragma once
// Opening a product table, in the order of the one tag the installer keeps in the table's
// compound index file, building that tag first when the file is not there.
#include <string>
#include <string_view>

#include "tables/dataset/xbase_data_set.hpp"

namespace app {

struct TableTag {
  std::string_view name;
  std::string_view expression;
};

// The site lists' tag and the users table's tag.
inline constexpr TableTag kSiteTag{"SITE", "Upper(SITE)"};
inline constexpr TableTag kUserNameTag{"UserName", "upper(UserName)"};

// The compound index file beside a table: its name with the extension ".CDX".
std::string IndexFileOf(std::string_view tablePath);

// Closes the dataset and points it at a product table, encrypted with the product key, in
// natural order.
void PointAtTable(tables::TXbaseDataSet& dataSet, const std::string& tablePath, bool exclusive);

// Opens the closed dataset (table name, key and sharing already set) with tag current from
// indexFile. A missing index file is made with that tag alone (no filter, duplicate keys,
// ascending); an existing one is used as it is.
void OpenInTagOrder(tables::TXbaseDataSet& dataSet, const std::string& indexFile,
                    const TableTag& tag);

}  // namespace app
