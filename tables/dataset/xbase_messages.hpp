#pragma once
// The message texts of the table dataset's own failures.
#include <string>
#include <string_view>

namespace tables::dataset_messages {

inline constexpr std::string_view kTableNameMissing = "Table name missing";
inline constexpr std::string_view kNoFindIndex = "No index is assigned for Find operation";
inline constexpr std::string_view kRecordLocked = "Record is locked by another user";
inline constexpr std::string_view kCannotDelete = "Cannot delete the record";
inline constexpr std::string_view kCannotRecall = "Cannot recall the record";
inline constexpr std::string_view kBusyBuilding = "Table is busy building an index";
inline constexpr std::string_view kClosedTable =
    "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view kPropertyWhileOpen =
    "Cannot perform this operation on an open dataset";

inline std::string CannotFindFile(std::string_view path) {
  return "Cannot find file " + std::string(path);
}
inline std::string IndexAlreadyOpen(std::string_view path) {
  return "Index file " + std::string(path) + " already open";
}
inline std::string ErrorGetting(std::string_view path) {
  return "Error getting " + std::string(path);
}
inline std::string NoMasterIndex(std::string_view table) {
  return "Master/Detail relation failed, no index open for " + std::string(table);
}
inline std::string MasterFieldMismatch(std::string_view table) {
  return "Master/Detail relation failed, field missmatch for " + std::string(table);
}

}  // namespace tables::dataset_messages
