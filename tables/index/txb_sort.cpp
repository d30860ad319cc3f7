#include "tables/index/txb_sort.hpp"

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "tables/index/sort_batch.hpp"
#include "tables/index/sort_errors.hpp"
#include "tables/index/sort_merge.hpp"
#include "tables/index/sort_run.hpp"
#include "tables/index/sort_string.hpp"

namespace tables {

struct TxbSort::State {
  State(int maxKeyLength, bool ascending, bool unique)
      : maxKeyLength(maxKeyLength), ascending(ascending), unique(unique), batch(ascending) {}

  void EmptyBatchIntoRun() {
    runs.emplace_back();
    batch.EmptyInto(runs.back());
  }

  // Unique mode: whether the key of the top string was returned last (record numbers aside).
  bool RepeatsPreviousKey(const TxbSortRun& run) const {
    std::size_t keyLength = run.length() - kSortRecordBytes;
    return hasPrevious && keyLength == previousKeyLength &&
           std::memcmp(run.bytes(), previousKey, keyLength) == 0;
  }

  void RememberKey(const TxbSortRun& run) {
    previousKeyLength = run.length() - kSortRecordBytes;
    std::memcpy(previousKey, run.bytes(), previousKeyLength);
    hasPrevious = true;
  }

  int maxKeyLength;
  bool ascending;
  bool unique;
  std::int64_t keysAdded = 0;
  TxbSortBatch batch;
  std::vector<TxbSortRun> runs;
  std::optional<TxbSortMerge> merge;  // set once retrieval began
  TxbSortString adding;
  std::uint8_t previousKey[kMaxSortStringLength + 1] = {};
  std::size_t previousKeyLength = 0;
  bool hasPrevious = false;
  bool returnedTop = false;  // the merge's top was returned and is to be passed over
};

TxbSort::TxbSort(int maxKeyLength, bool ascending, bool unique) {
  if (maxKeyLength > kMaxSortKeyLength) RaiseSortKeyTooLong();
  state_ = std::make_unique<State>(maxKeyLength, ascending, unique);
}

TxbSort::~TxbSort() = default;

void TxbSort::Add(const TxbVariant& key, std::int32_t recordNumber) {
  State& state = *state_;
  if (state.merge) RaiseSortClosedForKeys();
  EncodeSortString(key, recordNumber, state.maxKeyLength, state.adding);
  if (!state.batch.HasRoomFor(state.adding.length)) state.EmptyBatchIntoRun();
  state.batch.Insert(state.adding);
  ++state.keysAdded;
}

void TxbSort::AddBytes(std::string_view key, std::int32_t recordNumber) {
  State& state = *state_;
  if (state.merge) RaiseSortClosedForKeys();
  if (key.size() > static_cast<std::size_t>(state.maxKeyLength)) RaiseSortKeyTooLong();
  if (!state.batch.HasRoomFor(MaxRawSortStringLength(key.size()))) state.EmptyBatchIntoRun();
  state.batch.InsertRaw(key, recordNumber);
  ++state.keysAdded;
}

const TxbSortRun* TxbSort::NextStored() {
  State& state = *state_;
  if (!state.merge) {
    if (!state.batch.empty()) state.EmptyBatchIntoRun();
    state.batch.ReleaseBuffers();
    state.merge.emplace(std::move(state.runs), state.ascending);
  }
  TxbSortMerge& merge = *state.merge;
  if (state.returnedTop) {
    merge.Pop();
    state.returnedTop = false;
  }
  for (; !merge.empty(); merge.Pop()) {
    const TxbSortRun& top = merge.Top();
    if (state.unique) {
      if (state.RepeatsPreviousKey(top)) continue;
      state.RememberKey(top);
    }
    state.returnedTop = true;
    return &top;
  }
  return nullptr;
}

bool TxbSort::Next(TxbVariant& key, std::int32_t& recordNumber) {
  const TxbSortRun* top = NextStored();
  if (!top) return false;
  DecodeSortString(top->tag(), top->bytes(), top->length(), key, recordNumber);
  return true;
}

bool TxbSort::NextBytes(std::string& key, std::int32_t& recordNumber) {
  const TxbSortRun* top = NextStored();
  if (!top) return false;
  DecodeSortBytes(top->bytes(), top->length(), key, recordNumber);
  return true;
}

std::int64_t TxbSort::keysAdded() const {
  return state_->keysAdded;
}

}  // namespace tables
