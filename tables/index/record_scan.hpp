#pragma once
// Record images that index upkeep evaluates keys on besides the table's current one: the
// stored image of a changed record, and the records of the table searched for the one that
// holds a key that a unique tag gave up.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tables/storage/dbf_fields.hpp"

namespace tables {

// Puts the stored image in the table's record buffer for the life of the object.
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

// Whole-table scans read the table in blocks of about this many bytes, whole records each.
inline constexpr std::uint32_t kRecordBlockBytes = 64 * 1024;

// The table's records read in blocks of about 64 KiB, each put in the record buffer in turn to
// be looked at (see XBO_dBaseDBF::ViewRecordImage): a whole-table scan keeps the current record
// with XbCurrentRecordKept and restores it afterwards.
class XbRecordBlocks {
 public:
  explicit XbRecordBlocks(XBO_dBaseFld& table);
  // Puts record n in the record buffer; records are taken in ascending order. Raises 1002 when
  // the file ends before record n.
  void View(std::int32_t n);

 private:
  void Fill(std::int32_t n);

  XBO_dBaseFld& table_;
  std::vector<std::uint8_t> block_;
  std::int32_t first_ = 0;
  std::uint32_t inBlock_ = 0;
};

// Keeps the table's record buffer (record number, image with edits not yet written, change
// marks) for the scope, put back when it ends, however it ends.
class XbCurrentRecordKept {
 public:
  explicit XbCurrentRecordKept(XBO_dBaseFld& table);
  ~XbCurrentRecordKept();
  XbCurrentRecordKept(const XbCurrentRecordKept&) = delete;
  XbCurrentRecordKept& operator=(const XbCurrentRecordKept&) = delete;

 private:
  XBO_dBaseFld& table_;
  XBO_dBaseDBF::RecordState state_;
};

// Whether the table's current record (number record) gets an entry, and its key.
using XbEntryKey = std::function<bool(std::int32_t record, std::string& key)>;

// The lowest record other than skip whose entry key is key, or 0. The records are read from
// the file in blocks; the table's current record and image are put back afterwards.
std::int32_t XbRecordHolding(XBO_dBaseFld& table, const XbEntryKey& entryKey,
                             const std::string& key, std::int32_t skip);

}  // namespace tables
