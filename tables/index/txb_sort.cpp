#include "tables/index/txb_sort.hpp"

#include <future>
#include <optional>
#include <utility>
#include <vector>

#include "tables/index/sort_batch.hpp"
#include "tables/index/sort_errors.hpp"
#include "tables/index/sort_feed.hpp"
#include "tables/index/sort_run.hpp"
#include "tables/index/sort_string.hpp"

namespace tables {

struct TxbSort::State {
  State(int maxKeyLength, bool ascending, bool unique)
      : maxKeyLength(maxKeyLength),
        ascending(ascending),
        unique(unique),
        batch(ascending),
        sortedBatch(ascending) {}

  // A full batch is put in order on a second thread while the next one fills: its strings
  // and the run they go to are touched by nobody else until the next batch is full.
  void EmptyBatchIntoRun() {
    FinishSorting();
    runs.emplace_back();
    std::swap(batch, sortedBatch);
    sorting =
        std::async(std::launch::async, [this, &run = runs.back()] { sortedBatch.EmptyInto(run); });
  }

  // Waits for the batch being sorted, if any, and raises what sorting it raised.
  void FinishSorting() {
    if (sorting.valid()) sorting.get();
  }

  // The last strings are put in order on this thread: nothing else is left to do meanwhile.
  void EmptyLastBatch() {
    FinishSorting();
    if (!batch.empty()) {
      runs.emplace_back();
      batch.EmptyInto(runs.back());
    }
    batch.ReleaseBuffers();
    sortedBatch.ReleaseBuffers();
  }

  int maxKeyLength;
  bool ascending;
  bool unique;
  std::int64_t keysAdded = 0;
  TxbSortBatch batch;        // filling
  TxbSortBatch sortedBatch;  // full, being put in order into the last run
  std::vector<TxbSortRun> runs;
  std::optional<TxbSortFeed> feed;  // set once retrieval began
  TxbSortString adding;
  // Last, so that it is destroyed first: a sort given up while a batch is being sorted waits
  // for that before the batch and the runs go.
  std::future<void> sorting;
};

TxbSort::TxbSort(int maxKeyLength, bool ascending, bool unique) {
  if (maxKeyLength > kMaxSortKeyLength) RaiseSortKeyTooLong();
  state_ = std::make_unique<State>(maxKeyLength, ascending, unique);
}

TxbSort::~TxbSort() = default;

void TxbSort::Add(const TxbVariant& key, std::int32_t recordNumber) {
  State& state = *state_;
  if (state.feed) RaiseSortClosedForKeys();
  EncodeSortString(key, recordNumber, state.maxKeyLength, state.adding);
  if (!state.batch.HasRoomFor(state.adding.length)) state.EmptyBatchIntoRun();
  state.batch.Insert(state.adding);
  ++state.keysAdded;
}

void TxbSort::AddBytes(std::string_view key, std::int32_t recordNumber) {
  State& state = *state_;
  if (state.feed) RaiseSortClosedForKeys();
  if (key.size() > static_cast<std::size_t>(state.maxKeyLength)) RaiseSortKeyTooLong();
  if (!state.batch.HasRoomFor(MaxRawSortStringLength(key.size()))) state.EmptyBatchIntoRun();
  state.batch.InsertRaw(key, recordNumber);
  ++state.keysAdded;
}

bool TxbSort::NextStored(std::uint8_t& tag, const std::uint8_t*& bytes, std::size_t& length) {
  State& state = *state_;
  if (!state.feed) {
    state.EmptyLastBatch();
    state.feed.emplace(std::move(state.runs), state.ascending, state.unique);
  }
  TxbSortFeed::Stored stored;
  if (!state.feed->Next(stored)) return false;
  tag = stored.tag;
  bytes = stored.bytes;
  length = stored.length;
  return true;
}

bool TxbSort::Next(TxbVariant& key, std::int32_t& recordNumber) {
  std::uint8_t tag = 0;
  const std::uint8_t* bytes = nullptr;
  std::size_t length = 0;
  if (!NextStored(tag, bytes, length)) return false;
  DecodeSortString(tag, bytes, length, key, recordNumber);
  return true;
}

bool TxbSort::NextBytes(std::string& key, std::int32_t& recordNumber) {
  std::uint8_t tag = 0;
  const std::uint8_t* bytes = nullptr;
  std::size_t length = 0;
  if (!NextStored(tag, bytes, length)) return false;
  DecodeSortBytes(bytes, length, key, recordNumber);
  return true;
}

std::int64_t TxbSort::keysAdded() const {
  return state_->keysAdded;
}

}  // namespace tables
