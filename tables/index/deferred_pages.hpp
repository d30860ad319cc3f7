#pragma once
// XbDeferredPages: the 512-byte pages an exclusive index file keeps in memory instead of
// writing them, found by their offset with one table look-up (a slot per page of the file);
// their bytes lie in blocks that never move while the pages are kept.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tables {

class XbDeferredPages {
 public:
  static constexpr std::uint32_t kPageSize = 512;

  // The kept bytes of the page at offset (a multiple of the page size), or nullptr.
  const std::uint8_t* Find(std::uint32_t offset) const {
    const std::size_t page = offset / kPageSize;
    return page < slots_.size() && slots_[page] != 0 ? Bytes(slots_[page] - 1) : nullptr;
  }
  // Keeps the page's bytes, replacing those kept for it before.
  void Keep(std::uint32_t offset, const std::uint8_t* bytes);
  // The offsets of the pages kept, ascending.
  std::vector<std::uint32_t> SortedOffsets() const;
  // Forgets every page and frees their storage.
  void Clear();

  bool empty() const { return offsets_.empty(); }
  std::size_t size() const { return offsets_.size(); }

 private:
  static constexpr std::size_t kBlockPages = 128;
  using Page = std::array<std::uint8_t, kPageSize>;

  std::uint8_t* Bytes(std::size_t slot) const {
    return blocks_[slot / kBlockPages][slot % kBlockPages].data();
  }

  std::vector<std::uint32_t> slots_;    // by page number: 1 + the slot holding it, 0 for none
  std::vector<std::uint32_t> offsets_;  // by slot: the page's offset
  std::vector<std::unique_ptr<Page[]>> blocks_;
};

}  // namespace tables
