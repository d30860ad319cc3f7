#pragma once
// Retrieval of the key sort: merges its runs, taking each time the smallest current string
// (the largest in a descending sort) compared as unsigned bytes, a string before the longer
// ones it begins; between equal strings the earlier run wins. A heap of the runs' current
// strings keeps this to a logarithmic number of comparisons per string.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tables/index/sort_run.hpp"

namespace tables {

class TxbSortMerge {
 public:
  // Takes the runs over and positions each on its first entry.
  TxbSortMerge(std::vector<TxbSortRun> runs, bool ascending);

  bool empty() const { return heap_.empty(); }
  // The run holding the next string in order; valid until Pop.
  const TxbSortRun& Top() const { return runs_[heap_.front()]; }
  // Moves past the string of Top.
  void Pop();

 private:
  bool Precedes(std::uint32_t left, std::uint32_t right) const;
  void SiftDown(std::size_t at);

  std::vector<TxbSortRun> runs_;
  std::vector<std::uint64_t> heads_;  // each run's HeadOf, for comparisons without the bytes
  std::vector<std::uint32_t> heap_;   // run indices, the one to take first at the front
  bool ascending_;
};

}  // namespace tables
