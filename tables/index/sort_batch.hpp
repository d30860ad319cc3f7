#pragma once
// The filling stage of the key sort: stored strings collected in a bounded buffer (2 MiB of
// string bytes) and put in order all at once when it is full or retrieval begins. The strings
// are ordered by a radix pass over their first 16 bytes, kept beside each string as two
// big-endian words, and by comparison of the rest in the small groups that share them; the
// result is the order of the strings as unsigned bytes, a string before the longer strings it
// begins (after them when descending), equal strings in the order they were added.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "tables/index/sort_run.hpp"
#include "tables/index/sort_string.hpp"

namespace tables {

class TxbSortBatch {
 public:
  explicit TxbSortBatch(bool ascending) : ascending_(ascending) {}

  // Whether a string of `length` bytes fits in the rest of the buffer.
  bool HasRoomFor(std::size_t length) const;
  void Insert(const TxbSortString& string);
  // Inserts the stored string of raw key bytes, encoded in place; there must be room for
  // MaxRawSortStringLength(key.size()) bytes.
  void InsertRaw(std::string_view key, std::int32_t recordNumber);
  bool empty() const { return entries_.empty(); }

  // Appends every string in sort order to `run`, then empties the batch; its buffers are
  // kept for the next strings.
  void EmptyInto(TxbSortRun& run);
  // Gives the buffers' memory back; the batch must be empty.
  void ReleaseBuffers();

  // Small enough for the strings and their entries to stay mostly in the processor's cache
  // while they are filled and sorted.
  static constexpr std::size_t kMaxBytes = std::size_t{2} << 20;

 private:
  // A string's first 16 bytes (zeros past its end) as two words whose unsigned order is the
  // bytes' order, and where the whole string lies in the buffer.
  struct Entry {
    std::uint64_t head = 0;
    std::uint64_t next = 0;
    std::uint32_t offset = 0;
    std::uint16_t length = 0;
    std::uint8_t tag = 0;
  };

  // The buffer's free end, allocated on first use.
  std::uint8_t* FreeEnd();
  // Pads the string of `length` bytes at the free end with zeros and enters it.
  void Enter(std::size_t length, std::uint8_t tag);
  bool Less(const Entry& left, const Entry& right) const;
  std::size_t Shared(const Entry& left, const Entry& right) const;
  static std::size_t SharedDepth(const Entry* from, std::size_t count, std::size_t depth);
  void Sort(Entry* from, Entry* to, std::size_t count, std::size_t depth, bool intoOther);

  bool ascending_;
  // The strings back to back, each padded with zeros to a multiple of 8 bytes, in kMaxBytes
  // of which `used_` are taken.
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t used_ = 0;
  std::vector<Entry> entries_;
  std::vector<Entry> scratch_;
};

}  // namespace tables
