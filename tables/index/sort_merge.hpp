#pragma once
// Retrieval of the key sort: merges its runs, taking each time the smallest current string
// (the largest in a descending sort) compared as unsigned bytes, a string before the longer
// ones it begins; between equal strings the earlier run wins. A tree of matches between the
// runs' current strings (each inner node keeps the loser of its match, the root's winner is
// next) costs one comparison per level for each string taken.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tables/index/sort_run.hpp"

namespace tables {

class TxbSortMerge {
 public:
  // Takes the runs over and positions each on its first entry.
  TxbSortMerge(std::vector<TxbSortRun> runs, bool ascending);

  bool empty() const { return runs_.empty() || usedUp_[winner_]; }
  // The run holding the next string in order; valid until Pop.
  const TxbSortRun& Top() const { return runs_[winner_]; }
  // Moves past the string of Top.
  void Pop();

 private:
  bool Precedes(std::uint32_t left, std::uint32_t right) const;
  // Advances the run to its next string and notes its head.
  void MoveOn(std::uint32_t run);

  std::vector<TxbSortRun> runs_;
  // Each run's first 16 bytes as two words, for comparisons without the strings.
  struct Head {
    std::uint64_t high;
    std::uint64_t low;
    auto operator<=>(const Head&) const = default;
  };
  std::vector<Head> heads_;
  std::vector<std::uint8_t> usedUp_;  // runs without a current string: they lose every match
  // Run n plays from leaf runs_.size() + n; inner node i (from 1) holds the loser of the
  // match between its children 2i and 2i + 1.
  std::vector<std::uint32_t> losers_;
  std::uint32_t winner_ = 0;
  bool ascending_;
};

}  // namespace tables
