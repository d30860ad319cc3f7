#pragma once
// The failures of the key sort, each raised as EXbaseError carrying its message text.

namespace tables {

// "Sort key length greater than 240 bytes"
[[noreturn]] void RaiseSortKeyTooLong();
// "Cannot add sort keys after beginning retrieval"
[[noreturn]] void RaiseSortClosedForKeys();
// "Variant type cannot be sorted"
[[noreturn]] void RaiseSortTypeUnsortable();

}  // namespace tables
