#pragma once
// A sorted run of the key sort: the stored strings of one full batch, in order, prefix
// compressed in 16 KB pages. An entry is the type tag, the string's total length and the number
// s of new bytes (two bytes each, as strings may pass 255 bytes) and those s bytes; the rest of
// the string is the start of the previous entry.
// A 0 in place of a type tag ends a page. A run is written once, then read once from the
// start; each page is freed as soon as reading has left it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tables/index/sort_string.hpp"

namespace tables {

class TxbSortRun {
 public:
  static constexpr std::size_t kPageSize = 16384;
  // Strings are copied in whole steps of this many bytes: a string given to Append must be
  // readable this many bytes past its end.
  static constexpr std::size_t kCopySlack = 16;

  // Appends a string whose first `shared` bytes equal those of the previous entry.
  void Append(std::uint8_t tag, const std::uint8_t* bytes, std::size_t length, std::size_t shared);
  bool empty() const { return pages_.empty(); }

  // Moves to the next entry (the first on the first call); false when the run is used up.
  bool Advance();
  std::uint8_t tag() const { return currentTag_; }
  // The current string; the buffer holding it has room for at least 16 bytes.
  const std::uint8_t* bytes() const { return current_; }
  std::size_t length() const { return currentLength_; }

 private:
  void StartPage();

  std::vector<std::unique_ptr<std::uint8_t[]>> pages_;
  std::size_t writeAt_ = 0;
  std::size_t readPage_ = 0;
  std::size_t readAt_ = 0;
  std::uint8_t currentTag_ = 0;
  std::size_t currentLength_ = 0;
  std::uint8_t current_[kMaxSortStringLength + 1 + kCopySlack] = {};
};

}  // namespace tables
