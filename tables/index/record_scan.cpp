#include "tables/index/record_scan.hpp"

#include <algorithm>
#include <cstring>

namespace tables {
namespace {

std::uint64_t RecordOffset(const XBO_dBaseFld& table, std::int32_t n) {
  return table.headerLength() +
         std::uint64_t{table.recordLength()} * static_cast<std::uint32_t>(n - 1);
}

// Keeps the table's current record and image, to be put back (Restore) after other records
// were made current.
class CurrentRecordKept {
 public:
  explicit CurrentRecordKept(XBO_dBaseFld& table)
      : table_(table),
        current_(table.currentRecord()),
        image_(table.recordImage(), table.recordImage() + table.recordLength()) {}

  void Restore() {
    std::vector<std::uint8_t> stored(image_.size());
    const auto length = static_cast<std::uint32_t>(stored.size());
    if (current_ >= 1 && current_ <= table_.recordCount() &&
        table_.ReadAt(RecordOffset(table_, current_), stored.data(), length) == length) {
      table_.TakeRecordImage(current_, stored.data());
    }
    std::memcpy(table_.recordImage(), image_.data(), image_.size());
  }

 private:
  XBO_dBaseFld& table_;
  std::int32_t current_;
  std::vector<std::uint8_t> image_;
};

std::int32_t FirstHolding(XBO_dBaseFld& table, const XbEntryKey& entryKey, const std::string& key,
                          std::int32_t skip) {
  constexpr std::uint32_t kBlockSize = 64 * 1024;
  const std::uint32_t length = table.recordLength();
  const std::uint32_t perBlock = std::max<std::uint32_t>(1, kBlockSize / length);
  std::vector<std::uint8_t> block(std::size_t{perBlock} * length);
  std::string candidate;
  for (std::int32_t first = 1; first <= table.recordCount();
       first += static_cast<std::int32_t>(perBlock)) {
    const std::uint32_t read = table.ReadAt(RecordOffset(table, first), block.data(),
                                            static_cast<std::uint32_t>(block.size())) /
                               length;
    if (read == 0) break;
    for (std::uint32_t i = 0; i < read; ++i) {
      const auto n = first + static_cast<std::int32_t>(i);
      if (n == skip || n > table.recordCount()) continue;
      table.TakeRecordImage(n, block.data() + std::size_t{i} * length);
      if (entryKey(n, candidate) && candidate == key) return n;
    }
  }
  return 0;
}

}  // namespace

XbStoredImageInPlace::XbStoredImageInPlace(XBO_dBaseFld& table, const std::uint8_t* stored)
    : table_(table), saved_(table.recordImage(), table.recordImage() + table.recordLength()) {
  std::memcpy(table_.recordImage(), stored, saved_.size());
}

XbStoredImageInPlace::~XbStoredImageInPlace() {
  std::memcpy(table_.recordImage(), saved_.data(), saved_.size());
}

std::int32_t XbRecordHolding(XBO_dBaseFld& table, const XbEntryKey& entryKey,
                             const std::string& key, std::int32_t skip) {
  CurrentRecordKept kept(table);
  std::int32_t found = 0;
  try {
    found = FirstHolding(table, entryKey, key, skip);
  } catch (...) {
    kept.Restore();
    throw;
  }
  kept.Restore();
  return found;
}

}  // namespace tables
