#pragma once
// TxbSortFeed: retrieval of the key sort with the merge of its runs on a second thread. The
// merge writes the strings in order, in unique mode only the first of each key, into blocks
// that are handed over as they fill, so that the caller writes an index from one block while
// the next is merged.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tables/index/sort_merge.hpp"
#include "tables/index/sort_run.hpp"
#include "tables/index/sort_string.hpp"

namespace tables {

class TxbSortFeed {
 public:
  // A stored string in order, valid until the next call of Next; its buffer has room for at
  // least 16 bytes.
  struct Stored {
    std::uint8_t tag = 0;
    const std::uint8_t* bytes = nullptr;
    std::size_t length = 0;
  };

  // Takes the runs over and starts merging them.
  TxbSortFeed(std::vector<TxbSortRun> runs, bool ascending, bool unique);
  // Stops the merge where it is.
  ~TxbSortFeed();
  TxbSortFeed(const TxbSortFeed&) = delete;
  TxbSortFeed& operator=(const TxbSortFeed&) = delete;

  // The next string; false when none is left. Raises what the merge raised.
  bool Next(Stored& stored);

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t used = 0;
  };

  // The second thread: fills blocks until the merge is used up or the feed is stopped.
  void Merge();
  // Fills block with strings in order; false once the merge is used up.
  bool Fill(Block& block);
  bool RepeatsPreviousKey(const TxbSortRun& run) const;
  void RememberKey(const TxbSortRun& run);
  // Gives the block read up back and waits for the next full one; false at the end.
  bool TakeFullBlock();

  TxbSortMerge merge_;
  bool unique_;
  std::uint8_t previousKey_[kMaxSortStringLength + 1] = {};
  std::size_t previousKeyLength_ = 0;
  bool hasPrevious_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Block> free_;
  std::deque<Block> full_;
  bool finished_ = false;  // the merge handed its last block over, or failed
  bool stopping_ = false;
  std::exception_ptr failure_;

  Block reading_;
  std::size_t readAt_ = 0;
  std::thread merging_;  // last: started once everything it uses is there
};

}  // namespace tables
