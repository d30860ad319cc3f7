#pragma once
// TxbSort: orders the (key, record number) pairs of a tag build in memory, so that a bottom-up
// writer receives them in key order, equal keys in record-number order, optionally only the
// first record of each key. Keys go into a buffer of bounded size; when it is full its keys
// are put in order into a compressed sorted run, and retrieval merges all runs. The
// format-specific builders derive from it. A descending sort reverses the whole order: keys
// from the largest, equal keys from the highest record number, and in unique mode that record
// is the one kept.
//
//   TxbSort sort(/*maxKeyLength*/ 40, /*ascending*/ true, /*unique*/ false);
//   for (each record n) sort.Add(key of n, n);
//   TxbVariant key;
//   std::int32_t record;
//   while (sort.Next(key, record)) write(key, record);
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tables/index/key_variant.hpp"

namespace tables {

class TxbSort {
 public:
  // Raises EXbaseError "Sort key length greater than 240 bytes" for a maximum above 240.
  // Character keys compare as unsigned bytes (no collation table in this program).
  TxbSort(int maxKeyLength, bool ascending, bool unique);
  virtual ~TxbSort();
  TxbSort(const TxbSort&) = delete;
  TxbSort& operator=(const TxbSort&) = delete;

  // Adds a key of type Text, Number, Date or Raw. Raises "Cannot add sort keys after beginning
  // retrieval" once Next was called, "Sort key length greater than 240 bytes" for a key longer
  // than the maximum, "Variant type cannot be sorted" for a logical.
  void Add(const TxbVariant& key, std::int32_t recordNumber);

  // The next pair in order; false when none is left. The key comes back with the type and
  // value it was added with (text without its trailing blanks).
  bool Next(TxbVariant& key, std::int32_t& recordNumber);

  std::int64_t keysAdded() const;

 protected:
  // Add for a key of raw bytes, encoded straight into the sort's buffer.
  void AddBytes(std::string_view key, std::int32_t recordNumber);
  // Next for keys added as text or raw bytes, the key's bytes into key (its storage used
  // again) without a variant between.
  bool NextBytes(std::string& key, std::int32_t& recordNumber);

 private:
  // The next stored string in order, its tag, bytes (valid until the next call) and length;
  // false when none is left.
  bool NextStored(std::uint8_t& tag, const std::uint8_t*& bytes, std::size_t& length);

  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tables
