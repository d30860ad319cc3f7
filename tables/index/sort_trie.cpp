#include "tables/index/sort_trie.hpp"

#include <algorithm>
#include <cstring>

namespace tables {
namespace {

// Node layout.
constexpr std::size_t kChild = 0;
constexpr std::size_t kSibling = 4;  // or up to 4 inline bytes
constexpr std::size_t kFlags = 8;
constexpr std::size_t kByte = 9;
constexpr std::uint8_t kInlineCountMask = 0x07;
constexpr std::uint8_t kTagMask = 0xF0;
constexpr std::size_t kMaxInline = 4;

std::uint32_t Load(const std::uint8_t* link) {
  std::uint32_t value;
  std::memcpy(&value, link, sizeof value);
  return value;
}

void Store(std::uint8_t* link, std::uint32_t value) {
  std::memcpy(link, &value, sizeof value);
}

std::size_t InlineCount(const std::uint8_t* node) {
  return node[kFlags] & kInlineCountMask;
}

}  // namespace

std::uint8_t* TxbSortTrie::NodeAt(std::uint32_t node) const {
  std::uint32_t index = node - 1;
  return blocks_[index / kNodesPerBlock].get() + (index % kNodesPerBlock) * kNodeSize;
}

bool TxbSortTrie::HasRoomFor(std::size_t length) const {
  if (currentBlock_ + 1 < kMaxBlocks) return true;
  // A string takes at most one node per byte, plus one where it leaves a split inline chain.
  return kNodesPerBlock - usedInBlock_ >= length + 1;
}

std::uint32_t TxbSortTrie::NewNode(std::uint8_t byte, std::uint32_t sibling) {
  if (usedInBlock_ == kNodesPerBlock) {
    ++currentBlock_;
    usedInBlock_ = 0;
  }
  if (!blocks_[currentBlock_]) {
    blocks_[currentBlock_] = std::make_unique<std::uint8_t[]>(kNodesPerBlock * kNodeSize);
  }
  std::uint32_t node =
      static_cast<std::uint32_t>(currentBlock_) * kNodesPerBlock + usedInBlock_ + 1;
  ++usedInBlock_;
  std::uint8_t* at = NodeAt(node);
  Store(at + kChild, kNone);
  Store(at + kSibling, sibling);
  at[kFlags] = 0;
  at[kByte] = byte;
  return node;
}

// The first inline byte becomes a child that takes over the node's children, its other inline
// bytes and its end-of-string tag.
void TxbSortTrie::SplitInline(std::uint32_t node) {
  std::uint8_t* at = NodeAt(node);
  std::size_t count = InlineCount(at);
  std::uint8_t carried[kMaxInline];
  std::memcpy(carried, at + kSibling, kMaxInline);
  std::uint32_t child = NewNode(carried[0], kNone);
  std::uint8_t* childAt = NodeAt(child);
  Store(childAt + kChild, Load(at + kChild));
  std::memcpy(childAt + kSibling, carried + 1, count - 1);
  childAt[kFlags] = static_cast<std::uint8_t>((at[kFlags] & kTagMask) | (count - 1));
  Store(at + kChild, child);
  Store(at + kSibling, kNone);
  at[kFlags] = 0;
}

bool TxbSortTrie::ComesBefore(std::uint8_t nodeByte, std::uint8_t byte) const {
  return ascending_ ? nodeByte < byte : nodeByte > byte;
}

void TxbSortTrie::Insert(const TxbSortString& string) {
  // Links are addressed as their 4 bytes: nodes are 10 bytes long, so links are unaligned.
  std::uint8_t* levelHead = rootLink_;
  std::uint32_t last = kNone;
  std::size_t at = 0;
  while (at < string.length) {
    std::uint32_t first = Load(levelHead);
    if (first != kNone && InlineCount(NodeAt(first)) > 0) SplitInline(first);
    std::uint8_t byte = string.bytes[at++];
    std::uint8_t* link = levelHead;
    std::uint32_t node = Load(link);
    while (node != kNone && ComesBefore(NodeAt(node)[kByte], byte)) {
      link = NodeAt(node) + kSibling;
      node = Load(link);
    }
    if (node == kNone || NodeAt(node)[kByte] != byte) {
      bool onlyChild = Load(levelHead) == kNone;
      node = NewNode(byte, node);
      Store(link, node);
      if (onlyChild) {
        std::size_t count = std::min(kMaxInline, string.length - at);
        std::uint8_t* nodeAt = NodeAt(node);
        std::memcpy(nodeAt + kSibling, string.bytes + at, count);
        nodeAt[kFlags] = static_cast<std::uint8_t>(count);
        at += count;
      }
    }
    last = node;
    levelHead = NodeAt(node) + kChild;
  }
  std::uint8_t* lastAt = NodeAt(last);
  lastAt[kFlags] = static_cast<std::uint8_t>((lastAt[kFlags] & kInlineCountMask) | string.tag);
}

bool TxbSortTrie::empty() const {
  return Load(rootLink_) == kNone;
}

void TxbSortTrie::EmptyInto(TxbSortRun& run) {
  previousLength_ = 0;
  unchangedUpTo_ = 0;
  Emit(Load(rootLink_), 0, run);
  Store(rootLink_, kNone);
  currentBlock_ = 0;
  usedInBlock_ = 0;
}

void TxbSortTrie::ReleasePool() {
  for (auto& block : blocks_)
    block.reset();
  currentBlock_ = 0;
  usedInBlock_ = 0;
}

// Depth first in sibling order. Ascending, a string comes before the longer strings it
// begins; descending, after them, so that each run is in the order the merge compares in.
void TxbSortTrie::Emit(std::uint32_t first, std::size_t depth, TxbSortRun& run) {
  for (std::uint32_t node = first; node != kNone;) {
    const std::uint8_t* at = NodeAt(node);
    std::size_t count = InlineCount(at);
    path_[depth] = at[kByte];
    std::memcpy(path_ + depth + 1, at + kSibling, count);
    unchangedUpTo_ = std::min(unchangedUpTo_, depth);
    std::size_t length = depth + 1 + count;
    std::uint8_t tag = at[kFlags] & kTagMask;
    if (tag != 0 && ascending_) EmitString(tag, length, run);
    Emit(Load(at + kChild), length, run);
    if (tag != 0 && !ascending_) EmitString(tag, length, run);
    node = count > 0 ? kNone : Load(at + kSibling);
  }
}

void TxbSortTrie::EmitString(std::uint8_t tag, std::size_t length, TxbSortRun& run) {
  std::size_t shared = std::min({unchangedUpTo_, previousLength_, length});
  run.Append(tag, path_, length, shared);
  previousLength_ = length;
  unchangedUpTo_ = kMaxSortStringLength + 1;
}

}  // namespace tables
