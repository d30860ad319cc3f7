#pragma once
// TxbHugeSet: a set of record numbers, one bit each, in pages of 16,384 bytes (131,072 record
// numbers) allocated when a bit in them is first set. It remembers the highest number set or
// cleared so far; numbers beyond it test false.
#include <cstdint>
#include <memory>
#include <vector>

namespace tables {

class TxbHugeSet {
 public:
  static constexpr std::size_t kPageBytes = 16384;
  static constexpr std::int64_t kNumbersPerPage = kPageBytes * 8;

  void Assign(std::int32_t n, bool member);
  void Set(std::int32_t n) { Assign(n, true); }
  void Reset(std::int32_t n) { Assign(n, false); }
  bool Test(std::int32_t n) const;
  // Zeroes every page and forgets the highest number.
  void Clear();

  // The lowest member above after, or 0.
  std::int32_t NextAfter(std::int32_t after) const;
  // The highest member below before, or 0.
  std::int32_t PreviousBefore(std::int32_t before) const;

  std::int32_t highest() const { return highest_; }
  std::size_t pagesAllocated() const;

 private:
  static constexpr std::size_t kWordsPerPage = kPageBytes / sizeof(std::uint64_t);
  using Page = std::unique_ptr<std::uint64_t[]>;

  const std::uint64_t* Word(std::int64_t n) const;

  std::vector<Page> pages_;
  std::int32_t highest_ = 0;
};

}  // namespace tables
