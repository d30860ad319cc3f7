#pragma once
// A look-aside table of the trie: which node holds a given byte among the children of a given
// node. Wide sibling lists (36 letters and digits under "WWW.", each again with 36 children)
// would otherwise be walked node by node for every key that passes. An entry stays right until
// the trie is emptied, since a node never leaves its sibling list; a missing or overwritten
// entry only means the list is walked.
#include <cstdint>
#include <cstring>
#include <memory>

namespace tables {

class TxbSortChildCache {
 public:
  static constexpr std::uint32_t kNone = 0;

  // The child of `parent` (0 for the root) holding `byte`, or kNone when not known.
  std::uint32_t Find(std::uint32_t parent, std::uint8_t byte) const {
    std::uint64_t entry = entries_[SlotOf(parent, byte)];
    return (entry >> 32) == KeyOf(parent, byte) ? static_cast<std::uint32_t>(entry) : kNone;
  }

  void Remember(std::uint32_t parent, std::uint8_t byte, std::uint32_t child) {
    entries_[SlotOf(parent, byte)] = std::uint64_t{KeyOf(parent, byte)} << 32 | child;
  }

  // Forgets every entry (the trie was emptied); the first call makes the table.
  void Clear() {
    if (!entries_) entries_ = std::make_unique<std::uint64_t[]>(kSlots);
    std::memset(entries_.get(), 0, kSlots * sizeof(std::uint64_t));
  }

  void Release() { entries_.reset(); }

 private:
  static constexpr int kSlotBits = 16;
  static constexpr std::uint32_t kSlots = std::uint32_t{1} << kSlotBits;

  static std::uint32_t KeyOf(std::uint32_t parent, std::uint8_t byte) { return parent << 8 | byte; }
  static std::uint32_t SlotOf(std::uint32_t parent, std::uint8_t byte) {
    return (KeyOf(parent, byte) * 0x9E3779B1u) >> (32 - kSlotBits);
  }

  std::unique_ptr<std::uint64_t[]> entries_;
};

}  // namespace tables
