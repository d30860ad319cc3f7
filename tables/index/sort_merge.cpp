#include "tables/index/sort_merge.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace tables {
namespace {

// The 8 bytes of the run's current string from `at` on (zeros past its end) as a word whose
// unsigned order is theirs. The run's buffer always holds 16 bytes; those past the string are
// masked off.
std::uint64_t WordOf(const TxbSortRun& run, std::size_t at) {
  std::uint64_t word;
  std::memcpy(&word, run.bytes() + at, sizeof word);
  if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
  const std::size_t length = run.length() > at ? run.length() - at : 0;
  if (length >= sizeof word) return word;
  return length == 0 ? 0 : word & ~(~std::uint64_t{0} >> (8 * length));
}

int CompareBytes(const TxbSortRun& left, const TxbSortRun& right) {
  std::size_t common = std::min(left.length(), right.length());
  int result = std::memcmp(left.bytes(), right.bytes(), common);
  if (result != 0) return result;
  if (left.length() == right.length()) return 0;
  return left.length() < right.length() ? -1 : 1;
}

}  // namespace

TxbSortMerge::TxbSortMerge(std::vector<TxbSortRun> runs, bool ascending)
    : runs_(std::move(runs)),
      heads_(runs_.size()),
      usedUp_(runs_.size()),
      losers_(runs_.size()),
      ascending_(ascending) {
  const std::size_t count = runs_.size();
  for (std::uint32_t run = 0; run < count; ++run)
    MoveOn(run);
  if (count == 0) return;
  // Every match is played once from the leaves up; winners[i] won the match at node i.
  std::vector<std::uint32_t> winners(2 * count);
  for (std::uint32_t run = 0; run < count; ++run)
    winners[count + run] = run;
  for (std::size_t node = count; node-- > 1;) {
    const std::uint32_t left = winners[2 * node];
    const std::uint32_t right = winners[2 * node + 1];
    const bool leftWins = Precedes(left, right);
    winners[node] = leftWins ? left : right;
    losers_[node] = leftWins ? right : left;
  }
  winner_ = winners[1];
}

bool TxbSortMerge::Precedes(std::uint32_t left, std::uint32_t right) const {
  // A used-up run's head is the last possible one: the heads decide most matches alone.
  if (heads_[left] != heads_[right]) {
    return ascending_ ? heads_[left] < heads_[right] : heads_[left] > heads_[right];
  }
  if (usedUp_[left] || usedUp_[right]) return !usedUp_[left];
  int order = CompareBytes(runs_[left], runs_[right]);
  if (order == 0) return left < right;
  return ascending_ ? order < 0 : order > 0;
}

void TxbSortMerge::MoveOn(std::uint32_t run) {
  usedUp_[run] = !runs_[run].Advance();
  if (usedUp_[run]) {
    const std::uint64_t last = ascending_ ? ~std::uint64_t{0} : 0;
    heads_[run] = {last, last};
  } else {
    heads_[run] = {WordOf(runs_[run], 0), WordOf(runs_[run], sizeof(std::uint64_t))};
  }
}

// The winner's run moves on; its new string replays the matches on the way from its leaf to
// the root against the losers kept there.
void TxbSortMerge::Pop() {
  std::uint32_t moving = winner_;
  MoveOn(moving);
  for (std::size_t node = (runs_.size() + moving) / 2; node >= 1; node /= 2) {
    if (Precedes(losers_[node], moving)) std::swap(losers_[node], moving);
  }
  winner_ = moving;
}

}  // namespace tables
