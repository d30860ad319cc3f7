#pragma once
// RecordBuffer: one buffered row of a dataset: the record image in the layout the dataset
// chooses (its record size in bytes, holding data, record number, bookmark and flags), and
// the values of the calculated fields, which the dataset base keeps itself.
// TBookmark: the bytes that find a record again; empty means no record.
#include <cstddef>
#include <vector>

#include "framework/db/field_value.hpp"

namespace db {

struct RecordBuffer {
  std::vector<std::byte> data;
  std::vector<OptionalValue> calculated;
};

using TBookmark = std::vector<std::byte>;

// Where a buffer stands: a stored record, or a new one to insert before the current record
// or to append after the last.
enum class BookmarkFlag { Current, Before, After, Inserted, Eof, Bof };

}  // namespace db
