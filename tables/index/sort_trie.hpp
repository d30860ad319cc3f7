#pragma once
// The character trie of the key sort. Nodes of 10 bytes come from a bounded pool (at most 32
// blocks of 4096 nodes) by a pointer bump; nothing is freed singly. A node holds its child
// link, its sibling link, flags (high four bits: the type tag of a string ending here; low
// three bits: the number of inline bytes) and its byte. A node without siblings carries up to
// 4 further bytes of its string inline in its sibling link, so unshared tails cost a node per
// 5 bytes. Siblings are kept in byte order, descending for a descending sort.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "tables/index/sort_run.hpp"

namespace tables {

class TxbSortTrie {
 public:
  explicit TxbSortTrie(bool ascending) : ascending_(ascending) {}

  // Whether a string of `length` bytes surely fits in the pool's free nodes.
  bool HasRoomFor(std::size_t length) const;
  void Insert(const TxbSortString& string);
  bool empty() const;

  // Appends every string in sort order to `run`, then empties the trie; the pool's blocks
  // are kept and reused from the first.
  void EmptyInto(TxbSortRun& run);
  // Gives the pool's memory back; the trie must be empty.
  void ReleasePool();

  static constexpr std::size_t kNodeSize = 10;
  static constexpr std::uint32_t kNodesPerBlock = 4096;
  static constexpr std::size_t kMaxBlocks = 32;

 private:
  static constexpr std::uint32_t kNone = 0;

  std::uint8_t* NodeAt(std::uint32_t node) const;
  std::uint32_t NewNode(std::uint8_t byte, std::uint32_t sibling);
  void SplitInline(std::uint32_t node);
  bool ComesBefore(std::uint8_t nodeByte, std::uint8_t byte) const;
  void Emit(std::uint32_t first, std::size_t depth, TxbSortRun& run);
  void EmitString(std::uint8_t tag, std::size_t length, TxbSortRun& run);

  bool ascending_;
  std::uint8_t rootLink_[4] = {};  // first node of the top level
  std::unique_ptr<std::uint8_t[]> blocks_[kMaxBlocks];
  std::size_t currentBlock_ = 0;
  std::uint32_t usedInBlock_ = 0;
  // Emptying: the path of the node being visited, the previous string's length and the
  // lowest path position rewritten since it was emitted (what it shares with the next).
  std::uint8_t path_[kMaxSortStringLength + 1] = {};
  std::size_t previousLength_ = 0;
  std::size_t unchangedUpTo_ = 0;
};

}  // namespace tables
