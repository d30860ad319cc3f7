#pragma once
// Records as index upkeep needs them: a record's stored image evaluated in place of the
// table's current one, and the search for a record that holds a key a unique index lost.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/storage/dbf_fields.hpp"

namespace tables {

// Puts a stored image in the table's record buffer for the life of the object.
class XbStoredImageInPlace {
 public:
  XbStoredImageInPlace(XBO_dBaseFld& table, const std::uint8_t* stored);
  ~XbStoredImageInPlace();
  XbStoredImageInPlace(const XbStoredImageInPlace&) = delete;
  XbStoredImageInPlace& operator=(const XbStoredImageInPlace&) = delete;

 private:
  XBO_dBaseFld& table_;
  std::vector<std::uint8_t> saved_;
};

// entryKey(record, key): whether the table's current record (record) gets an entry, with its
// key; raises when its key cannot be had.
using XbEntryKey = std::function<bool(std::int32_t, std::string&)>;

// The lowest record other than skip whose entry key is key, or 0. The records are read from
// the file in blocks; the table's current record and image are the same afterwards.
std::int32_t XbRecordHolding(XBO_dBaseFld& table, const std::string& key, std::int32_t skip,
                             const XbEntryKey& entryKey);

}  // namespace tables
