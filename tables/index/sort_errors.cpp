#include "tables/index/sort_errors.hpp"

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// These texts explain themselves; they are the whole message, as the builders report them.
[[noreturn]] void Raise(const char* text) {
  throw EXbaseError(text, 0, xb_sub::OwnText);
}

}  // namespace

void RaiseSortKeyTooLong() {
  Raise("Sort key length greater than 240 bytes");
}

void RaiseSortClosedForKeys() {
  Raise("Cannot add sort keys after beginning retrieval");
}

void RaiseSortTypeUnsortable() {
  Raise("Variant type cannot be sorted");
}

}  // namespace tables
