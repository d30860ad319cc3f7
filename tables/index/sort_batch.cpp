#include "tables/index/sort_batch.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tables {
namespace {

constexpr std::size_t kWord = 8;
// Bytes held in an entry's two words: the radix pass stops there.
constexpr std::size_t kCachedBytes = 2 * kWord;
// Groups this small are ordered by comparison.
constexpr std::ptrdiff_t kRadixMinimum = 48;

std::size_t Padded(std::size_t length) {
  return (length + kWord - 1) / kWord * kWord;
}

// Eight bytes as a word whose unsigned order is theirs.
std::uint64_t WordAt(const std::uint8_t* bytes) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  return word;
}

}  // namespace

bool TxbSortBatch::HasRoomFor(std::size_t length) const {
  return bytes_.size() + Padded(length) <= kMaxBytes;
}

void TxbSortBatch::Insert(const TxbSortString& string) {
  if (bytes_.capacity() < kMaxBytes) bytes_.reserve(kMaxBytes);
  Entry entry;
  entry.offset = static_cast<std::uint32_t>(bytes_.size());
  entry.length = static_cast<std::uint16_t>(string.length);
  entry.tag = string.tag;
  bytes_.resize(entry.offset + Padded(string.length), 0);
  std::memcpy(bytes_.data() + entry.offset, string.bytes, string.length);
  const std::uint8_t* at = bytes_.data() + entry.offset;
  entry.head = string.length > 0 ? WordAt(at) : 0;
  entry.next = string.length > kWord ? WordAt(at + kWord) : 0;
  entries_.push_back(entry);
}

// Both strings are padded to whole words, so words are compared up to the shorter length;
// when they agree, the shorter string is the start of the longer one (or they are equal).
bool TxbSortBatch::Less(const Entry& left, const Entry& right) const {
  if (left.head != right.head) return left.head < right.head;
  if (left.next != right.next) return left.next < right.next;
  const std::size_t common = std::min(left.length, right.length);
  const std::uint8_t* leftAt = bytes_.data() + left.offset;
  const std::uint8_t* rightAt = bytes_.data() + right.offset;
  for (std::size_t at = kCachedBytes; at < common; at += kWord) {
    const std::uint64_t leftWord = WordAt(leftAt + at);
    const std::uint64_t rightWord = WordAt(rightAt + at);
    if (leftWord != rightWord) return leftWord < rightWord;
  }
  if (left.length != right.length) return left.length < right.length;
  return left.offset < right.offset;
}

// Most significant byte first: distributes [first, last) by the byte at depth, then each group
// by the next byte, down to the cached bytes' end or a small group.
void TxbSortBatch::Sort(Entry* first, Entry* last, Entry* scratch, std::size_t depth) {
  const auto byteAt = [](const Entry& entry, std::size_t at) {
    const std::uint64_t word = at < kWord ? entry.head : entry.next;
    return static_cast<std::uint8_t>(word >> (8 * (kWord - 1 - at % kWord)));
  };
  for (;; ++depth) {
    if (last - first < kRadixMinimum || depth == kCachedBytes) {
      std::sort(first, last, [this](const Entry& l, const Entry& r) { return Less(l, r); });
      return;
    }
    std::array<std::size_t, 256> counts{};
    for (const Entry* entry = first; entry != last; ++entry)
      ++counts[byteAt(*entry, depth)];
    const auto total = static_cast<std::size_t>(last - first);
    if (counts[byteAt(*first, depth)] == total) continue;  // one group: look further in
    std::array<std::size_t, 256> starts;
    std::size_t start = 0;
    for (std::size_t byte = 0; byte < counts.size(); ++byte) {
      starts[byte] = start;
      start += counts[byte];
    }
    std::array<std::size_t, 256> fill = starts;
    for (const Entry* entry = first; entry != last; ++entry)
      scratch[fill[byteAt(*entry, depth)]++] = *entry;
    std::copy(scratch, scratch + total, first);
    for (std::size_t byte = 0; byte < counts.size(); ++byte) {
      if (counts[byte] > 1) {
        Sort(first + starts[byte], first + starts[byte] + counts[byte], scratch + starts[byte],
             depth + 1);
      }
    }
    return;
  }
}

// The number of leading bytes two strings share, from their words where they differ there.
std::size_t TxbSortBatch::Shared(const Entry& left, const Entry& right) const {
  const std::size_t common = std::min(left.length, right.length);
  std::size_t shared = 0;
  if (left.head != right.head) {
    shared = static_cast<std::size_t>(std::countl_zero(left.head ^ right.head)) / 8;
  } else if (left.next != right.next) {
    shared = kWord + static_cast<std::size_t>(std::countl_zero(left.next ^ right.next)) / 8;
  } else {
    const std::uint8_t* leftAt = bytes_.data() + left.offset;
    const std::uint8_t* rightAt = bytes_.data() + right.offset;
    shared = kCachedBytes;
    while (shared < common && leftAt[shared] == rightAt[shared])
      ++shared;
  }
  return std::min(shared, common);
}

void TxbSortBatch::EmptyInto(TxbSortRun& run) {
  // Strings are fetched this many entries ahead of their use: in sorted order they lie
  // anywhere in the buffer.
  constexpr std::size_t kFetchAhead = 8;
  scratch_.resize(entries_.size());
  Sort(entries_.data(), entries_.data() + entries_.size(), scratch_.data(), 0);
  if (!ascending_) std::reverse(entries_.begin(), entries_.end());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i + kFetchAhead < entries_.size())
      __builtin_prefetch(bytes_.data() + entries_[i + kFetchAhead].offset);
    const Entry& entry = entries_[i];
    run.Append(entry.tag, bytes_.data() + entry.offset, entry.length,
               i == 0 ? 0 : Shared(entries_[i - 1], entry));
  }
  bytes_.clear();
  entries_.clear();
}

void TxbSortBatch::ReleaseBuffers() {
  bytes_ = {};
  entries_ = {};
  scratch_ = {};
}

}  // namespace tables
