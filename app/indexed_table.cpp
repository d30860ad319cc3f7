#include "app/indexed_table.hpp"

#include "app/table_key.hpp"
#include "platform/machine.hpp"

namespace app {

std::string IndexFileOf(std::string_view tablePath) {
  const std::size_t dot = tablePath.rfind('.');
  const std::size_t separator = tablePath.find_last_of("\\/");
  const bool hasExtension =
      dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
  return std::string(hasExtension ? tablePath.substr(0, dot) : tablePath) + ".CDX";
}

void PointAtTable(tables::TXbaseDataSet& dataSet, const std::string& tablePath, bool exclusive) {
  dataSet.Close();
  // The tag of the table before would be looked for in this one.
  dataSet.SetIndexName({});
  dataSet.SetTableName(tablePath);
  dataSet.SetEncryptionKey(std::string(kTableKey));
  dataSet.SetExclusive(exclusive);
}

void OpenInTagOrder(tables::TXbaseDataSet& dataSet, const std::string& indexFile,
                    const TableTag& tag) {
  if (!platform::CurrentMachine().files().Exists(indexFile)) {
    dataSet.Open();
    dataSet.CreateIndexTag(indexFile, tag.name, tag.expression, "", true, 0);
    dataSet.Close();
  }
  dataSet.Open();
  // Quoted, so that blanks in the folder name do not split the list.
  dataSet.OpenIndexes("\"" + indexFile + "\"", tag.name);
}

}  // namespace app
