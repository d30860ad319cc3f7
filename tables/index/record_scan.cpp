#include "tables/index/record_scan.hpp"

#include <algorithm>
#include <cstring>

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

std::uint64_t RecordOffset(const XBO_dBaseFld& table, std::int32_t n) {
  return table.headerLength() +
         std::uint64_t{table.recordLength()} * static_cast<std::uint32_t>(n - 1);
}

std::int32_t FirstHolding(XBO_dBaseFld& table, const XbEntryKey& entryKey, const std::string& key,
                          std::int32_t skip) {
  const std::uint32_t length = table.recordLength();
  const std::uint32_t perBlock = std::max<std::uint32_t>(1, kRecordBlockBytes / length);
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
      table.ViewRecordImage(n, block.data() + std::size_t{i} * length);
      if (entryKey(n, candidate) && candidate == key) return n;
    }
  }
  return 0;
}

}  // namespace

XbRecordBlocks::XbRecordBlocks(XBO_dBaseFld& table)
    : table_(table),
      block_(std::max<std::size_t>(1, kRecordBlockBytes / table.recordLength()) *
             table.recordLength()) {}

void XbRecordBlocks::View(std::int32_t n) {
  if (n < first_ || n >= first_ + static_cast<std::int32_t>(inBlock_)) Fill(n);
  const std::size_t at = static_cast<std::size_t>(n - first_) * table_.recordLength();
  table_.ViewRecordImage(n, block_.data() + at);
}

void XbRecordBlocks::Fill(std::int32_t n) {
  const std::uint32_t read = table_.ReadAt(RecordOffset(table_, n), block_.data(),
                                           static_cast<std::uint32_t>(block_.size()));
  first_ = n;
  inBlock_ = read / table_.recordLength();
  if (inBlock_ == 0) table_.Raise(xb_code::BeyondEof, xb_sub::RecordRead, table_.path());
}

XbCurrentRecordKept::XbCurrentRecordKept(XBO_dBaseFld& table)
    : table_(table), state_(table.SaveRecordState()) {}

XbCurrentRecordKept::~XbCurrentRecordKept() {
  table_.RestoreRecordState(state_);
}

XbStoredImageInPlace::XbStoredImageInPlace(XBO_dBaseFld& table, const std::uint8_t* stored)
    : table_(table), saved_(table.recordImage(), table.recordImage() + table.recordLength()) {
  std::memcpy(table_.recordImage(), stored, saved_.size());
}

XbStoredImageInPlace::~XbStoredImageInPlace() {
  std::memcpy(table_.recordImage(), saved_.data(), saved_.size());
}

std::int32_t XbRecordHolding(XBO_dBaseFld& table, const XbEntryKey& entryKey,
                             const std::string& key, std::int32_t skip) {
  const XbCurrentRecordKept kept(table);
  return FirstHolding(table, entryKey, key, skip);
}

}  // namespace tables
