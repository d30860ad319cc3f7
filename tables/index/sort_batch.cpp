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
  return used_ + Padded(length) <= kMaxBytes;
}

std::uint8_t* TxbSortBatch::FreeEnd() {
  // The strings are handed to runs, which read past their ends.
  if (!bytes_) {
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(kMaxBytes + TxbSortRun::kCopySlack);
  }
  return bytes_.get() + used_;
}

void TxbSortBatch::Enter(std::size_t length, std::uint8_t tag) {
  std::uint8_t* at = bytes_.get() + used_;
  // One word of zeros pads the string to whole words (the buffer has room past its end).
  constexpr std::uint64_t kZeros = 0;
  std::memcpy(at + length, &kZeros, sizeof kZeros);
  Entry entry;
  entry.offset = static_cast<std::uint32_t>(used_);
  entry.length = static_cast<std::uint16_t>(length);
  entry.tag = tag;
  entry.head = length > 0 ? WordAt(at) : 0;
  entry.next = length > kWord ? WordAt(at + kWord) : 0;
  entries_.push_back(entry);
  used_ += Padded(length);
}

void TxbSortBatch::Insert(const TxbSortString& string) {
  std::memcpy(FreeEnd(), string.bytes, string.length);
  Enter(string.length, string.tag);
}

void TxbSortBatch::InsertRaw(std::string_view key, std::int32_t recordNumber) {
  Enter(EncodeRawSortString(key, recordNumber, FreeEnd()), sort_tag::Raw);
}

// Both strings are padded to whole words, so words are compared up to the shorter length;
// when they agree, the shorter string is the start of the longer one (or they are equal).
bool TxbSortBatch::Less(const Entry& left, const Entry& right) const {
  if (left.head != right.head) return left.head < right.head;
  if (left.next != right.next) return left.next < right.next;
  const std::size_t common = std::min(left.length, right.length);
  const std::uint8_t* leftAt = bytes_.get() + left.offset;
  const std::uint8_t* rightAt = bytes_.get() + right.offset;
  for (std::size_t at = kCachedBytes; at < common; at += kWord) {
    const std::uint64_t leftWord = WordAt(leftAt + at);
    const std::uint64_t rightWord = WordAt(rightAt + at);
    if (leftWord != rightWord) return leftWord < rightWord;
  }
  if (left.length != right.length) return left.length < right.length;
  return left.offset < right.offset;
}

// The depth of the first cached byte from `depth` on where the count entries at `from` do
// not all agree (kCachedBytes when they agree to the end).
std::size_t TxbSortBatch::SharedDepth(const Entry* from, std::size_t count, std::size_t depth) {
  std::uint64_t headDiffers = 0;
  std::uint64_t nextDiffers = 0;
  for (const Entry* entry = from; entry != from + count; ++entry) {
    headDiffers |= entry->head ^ from->head;
    nextDiffers |= entry->next ^ from->next;
  }
  std::size_t shared = kCachedBytes;
  if (headDiffers != 0) {
    shared = static_cast<std::size_t>(std::countl_zero(headDiffers)) / 8;
  } else if (nextDiffers != 0) {
    shared = kWord + static_cast<std::size_t>(std::countl_zero(nextDiffers)) / 8;
  }
  return std::max(shared, depth + 1);
}

// Most significant byte first: distributes the count entries at `from` by the byte at depth
// into `to`, then each group by the next byte back the other way, down to the cached bytes'
// end or a small group. The buffers take turns instead of each pass being copied back: the
// entries end up in order at `from`, or at `to` with intoOther.
void TxbSortBatch::Sort(Entry* from, Entry* to, std::size_t count, std::size_t depth,
                        bool intoOther) {
  const auto byteAt = [](const Entry& entry, std::size_t at) {
    const std::uint64_t word = at < kWord ? entry.head : entry.next;
    return static_cast<std::uint8_t>(word >> (8 * (kWord - 1 - at % kWord)));
  };
  for (;; ++depth) {
    if (count < kRadixMinimum || depth == kCachedBytes) {
      std::sort(from, from + count, [this](const Entry& l, const Entry& r) { return Less(l, r); });
      if (intoOther) std::copy(from, from + count, to);
      return;
    }
    // Only the bytes between the lowest and the highest met are looked at after counting:
    // groups at the deeper levels are many and their strings use few byte values.
    std::array<std::uint32_t, 256> counts{};
    std::size_t lowest = 255;
    std::size_t highest = 0;
    for (const Entry* entry = from; entry != from + count; ++entry) {
      const std::size_t byte = byteAt(*entry, depth);
      ++counts[byte];
      lowest = std::min(lowest, byte);
      highest = std::max(highest, byte);
    }
    if (lowest == highest) {
      // One group: the bytes all its strings share are passed over at once.
      depth = SharedDepth(from, count, depth) - 1;
      continue;
    }
    std::array<std::size_t, 256> ends;  // each group's start, moved on as entries go in
    for (std::size_t byte = lowest, start = 0; byte <= highest; ++byte) {
      ends[byte] = start;
      start += counts[byte];
    }
    for (const Entry* entry = from; entry != from + count; ++entry)
      to[ends[byteAt(*entry, depth)]++] = *entry;
    // Each group now lies in `to`; its place is there with intoOther, else back in `from`.
    for (std::size_t byte = lowest; byte <= highest; ++byte) {
      const std::size_t size = counts[byte];
      const std::size_t start = ends[byte] - size;
      if (size > 1) {
        Sort(to + start, from + start, size, depth + 1, !intoOther);
      } else if (size == 1 && !intoOther) {
        from[start] = to[start];
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
    const std::uint8_t* leftAt = bytes_.get() + left.offset;
    const std::uint8_t* rightAt = bytes_.get() + right.offset;
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
  Sort(entries_.data(), scratch_.data(), entries_.size(), 0, false);
  if (!ascending_) std::reverse(entries_.begin(), entries_.end());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i + kFetchAhead < entries_.size())
      __builtin_prefetch(bytes_.get() + entries_[i + kFetchAhead].offset);
    const Entry& entry = entries_[i];
    run.Append(entry.tag, bytes_.get() + entry.offset, entry.length,
               i == 0 ? 0 : Shared(entries_[i - 1], entry));
  }
  used_ = 0;
  entries_.clear();
}

void TxbSortBatch::ReleaseBuffers() {
  bytes_.reset();
  used_ = 0;
  entries_ = {};
  scratch_ = {};
}

}  // namespace tables
