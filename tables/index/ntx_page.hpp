#pragma once
// NtxPage: one NTX page as its bytes, edited in place the way Clipper edits it. The slot
// table orders the entries; the entries themselves stay where they lie. Inserting takes the
// entry space named by the first unused slot and moves the slots from the insertion point one
// on; erasing moves the freed space to the first unused slot. An interior page uses one slot
// more than it has keys: its last used slot holds only the child after the last key.
#include <array>
#include <cstdint>
#include <string_view>

#include "tables/index/ntx_layout.hpp"

namespace tables {

class NtxPage {
 public:
  // A new empty page: no keys, slots in their first order.
  explicit NtxPage(const NtxHeader& header);
  // The page held in bytes, checked as NtxReadPage checks it (NtxLayoutError when damaged).
  NtxPage(const NtxHeader& header, const std::uint8_t* bytes);

  int count() const;
  // True when the first slot's child is 0 (an empty page is a leaf).
  bool leaf() const;
  // Slots in use: the keys, and the child after them in an interior page.
  int used() const { return leaf() ? count() : count() + 1; }
  std::uint32_t child(int slot) const;
  std::uint32_t record(int slot) const;
  // The key as stored: key length bytes, blank-padded.
  std::string_view storedKey(int slot) const;

  // Puts an entry before slot (slot <= used()); there must be an unused slot left.
  void Insert(int slot, const NtxStoredEntry& entry);
  // Takes the entry at slot out; in an interior page the child slot cannot be erased.
  void Erase(int slot);
  void SetChild(int slot, std::uint32_t child);
  void SetKey(int slot, std::uint32_t record, std::string_view key);

  const std::uint8_t* bytes() const { return bytes_.data(); }

 private:
  std::uint8_t* EntryAt(int slot);
  const std::uint8_t* EntryAt(int slot) const;
  void SetCount(int count);
  std::uint16_t SlotOffset(int slot) const;
  void SetSlotOffset(int slot, std::uint16_t offset);

  const NtxHeader* header_;
  std::array<std::uint8_t, kNtxPageSize> bytes_{};
};

}  // namespace tables
