#pragma once
// The message texts of dataset-level errors, shared by the dataset base and the datasets
// built on it.
#include <string>
#include <string_view>

namespace db::messages {

inline constexpr std::string_view kNotEditing = "Dataset not in edit or insert mode";
inline constexpr std::string_view kClosed = "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view kOpen = "Cannot perform this operation on an open dataset";
inline constexpr std::string_view kEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr std::string_view kReadOnly = "Cannot modify a read-only dataset";
inline constexpr std::string_view kNoBlobs = "Dataset does not support blob fields";
inline constexpr std::string_view kBookmarkNotFound = "Record not found";
inline constexpr std::string_view kRecordBeyondRange = "Record request beyond range of table";

inline std::string FieldNotFound(std::string_view field) {
  return "Field '" + std::string(field) + "' not found";
}
inline std::string FieldReadOnly(std::string_view field) {
  return "Field '" + std::string(field) + "' cannot be modified";
}
inline std::string FieldRequired(std::string_view field) {
  return "Field '" + std::string(field) + "' must have a value";
}
inline std::string DuplicateField(std::string_view field) {
  return "Duplicate field name '" + std::string(field) + "'";
}
inline std::string NotBlobField(std::string_view field) {
  return "Field '" + std::string(field) + "' is not a blob field";
}

}  // namespace db::messages
