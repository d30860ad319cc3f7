#include "tables/index/sort_merge.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tables {
namespace {

// The first 8 bytes of the run's current string (zeros past its end) as a word whose
// unsigned order is theirs: most comparisons end there.
std::uint64_t HeadOf(const TxbSortRun& run) {
  std::uint64_t head = 0;
  const std::size_t count = std::min<std::size_t>(run.length(), sizeof head);
  for (std::size_t at = 0; at < count; ++at)
    head |= std::uint64_t{run.bytes()[at]} << (8 * (sizeof head - 1 - at));
  return head;
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
    : runs_(std::move(runs)), heads_(runs_.size()), ascending_(ascending) {
  for (std::uint32_t run = 0; run < runs_.size(); ++run) {
    if (runs_[run].Advance()) {
      heads_[run] = HeadOf(runs_[run]);
      heap_.push_back(run);
    }
  }
  for (std::size_t at = heap_.size() / 2; at-- > 0;)
    SiftDown(at);
}

bool TxbSortMerge::Precedes(std::uint32_t left, std::uint32_t right) const {
  if (heads_[left] != heads_[right]) {
    return ascending_ ? heads_[left] < heads_[right] : heads_[left] > heads_[right];
  }
  int order = CompareBytes(runs_[left], runs_[right]);
  if (order == 0) return left < right;
  return ascending_ ? order < 0 : order > 0;
}

void TxbSortMerge::Pop() {
  const std::uint32_t top = heap_.front();
  if (runs_[top].Advance()) {
    heads_[top] = HeadOf(runs_[top]);
  } else {
    heap_.front() = heap_.back();
    heap_.pop_back();
  }
  if (!heap_.empty()) SiftDown(0);
}

void TxbSortMerge::SiftDown(std::size_t at) {
  std::uint32_t moving = heap_[at];
  for (;;) {
    std::size_t child = 2 * at + 1;
    if (child >= heap_.size()) break;
    if (child + 1 < heap_.size() && Precedes(heap_[child + 1], heap_[child])) ++child;
    if (!Precedes(heap_[child], moving)) break;
    heap_[at] = heap_[child];
    at = child;
  }
  heap_[at] = moving;
}

}  // namespace tables
