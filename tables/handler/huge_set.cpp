#include "tables/handler/huge_set.hpp"

#include <algorithm>
#include <bit>

namespace tables {

void TxbHugeSet::Assign(std::int32_t n, bool member) {
  if (n < 0) return;
  highest_ = std::max(highest_, n);
  const auto page = static_cast<std::size_t>(n / kNumbersPerPage);
  if (page >= pages_.size()) {
    if (!member) return;
    pages_.resize(page + 1);
  }
  if (!pages_[page]) {
    if (!member) return;
    pages_[page] = std::make_unique<std::uint64_t[]>(kWordsPerPage);
  }
  const std::int64_t bit = n % kNumbersPerPage;
  std::uint64_t& word = pages_[page][static_cast<std::size_t>(bit / 64)];
  const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
  // Without a branch on member, which a filter scan gives in no foreseeable order.
  word ^= (word ^ (std::uint64_t{0} - static_cast<std::uint64_t>(member))) & mask;
}

const std::uint64_t* TxbHugeSet::Word(std::int64_t n) const {
  const auto page = static_cast<std::size_t>(n / kNumbersPerPage);
  if (page >= pages_.size() || !pages_[page]) return nullptr;
  return &pages_[page][static_cast<std::size_t>((n % kNumbersPerPage) / 64)];
}

bool TxbHugeSet::Test(std::int32_t n) const {
  if (n < 0 || n > highest_) return false;
  const std::uint64_t* word = Word(n);
  return word && ((*word >> (n % 64)) & 1) != 0;
}

void TxbHugeSet::Clear() {
  for (Page& page : pages_) {
    if (page) std::fill_n(page.get(), kWordsPerPage, std::uint64_t{0});
  }
  highest_ = 0;
}

std::int32_t TxbHugeSet::NextAfter(std::int32_t after) const {
  std::int64_t n = std::max<std::int64_t>(after + 1, 0);
  while (n <= highest_) {
    const std::uint64_t* word = Word(n);
    if (!word) {
      n = (n / kNumbersPerPage + 1) * kNumbersPerPage;
      continue;
    }
    const std::uint64_t bits = *word >> (n % 64);
    if (bits != 0) {
      const std::int64_t found = n + std::countr_zero(bits);
      return found <= highest_ ? static_cast<std::int32_t>(found) : 0;
    }
    n = (n / 64 + 1) * 64;
  }
  return 0;
}

std::int32_t TxbHugeSet::PreviousBefore(std::int32_t before) const {
  std::int64_t n = std::min<std::int64_t>(before - 1, highest_);
  while (n >= 0) {
    const std::uint64_t* word = Word(n);
    if (!word) {
      n = (n / kNumbersPerPage) * kNumbersPerPage - 1;
      continue;
    }
    const std::uint64_t bits = *word << (63 - n % 64);
    if (bits != 0) return static_cast<std::int32_t>(n - std::countl_zero(bits));
    n = (n / 64) * 64 - 1;
  }
  return 0;
}

std::size_t TxbHugeSet::pagesAllocated() const {
  return static_cast<std::size_t>(std::count_if(pages_.begin(), pages_.end(),
                                                [](const Page& page) { return page != nullptr; }));
}

}  // namespace tables
