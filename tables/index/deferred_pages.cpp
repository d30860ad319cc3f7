#include "tables/index/deferred_pages.hpp"

#include <algorithm>
#include <cstring>

namespace tables {

void XbDeferredPages::Keep(std::uint32_t offset, const std::uint8_t* bytes) {
  const std::size_t page = offset / kPageSize;
  if (page >= slots_.size()) slots_.resize(page + 1, 0);
  if (slots_[page] == 0) {
    const std::size_t slot = offsets_.size();
    if (slot == blocks_.size() * kBlockPages) {
      blocks_.push_back(std::make_unique_for_overwrite<Page[]>(kBlockPages));
    }
    offsets_.push_back(offset);
    slots_[page] = static_cast<std::uint32_t>(slot + 1);
  }
  std::memcpy(Bytes(slots_[page] - 1), bytes, kPageSize);
}

std::vector<std::uint32_t> XbDeferredPages::SortedOffsets() const {
  std::vector<std::uint32_t> sorted = offsets_;
  std::sort(sorted.begin(), sorted.end());
  return sorted;
}

void XbDeferredPages::Clear() {
  for (const std::uint32_t offset : offsets_)
    slots_[offset / kPageSize] = 0;
  offsets_.clear();
  blocks_.clear();
}

}  // namespace tables
