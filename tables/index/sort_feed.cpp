#include "tables/index/sort_feed.hpp"

#include <cstring>
#include <utility>

namespace tables {
namespace {

// Big enough that the threads meet rarely, small enough to stay in the processor's cache.
constexpr std::size_t kBlockBytes = std::size_t{256} << 10;
// Readers of a stored string may read this far past its end.
constexpr std::size_t kReadSlack = 16;
constexpr std::size_t kEntryHead = 3;  // type tag, length
constexpr int kBlocks = 3;             // one read, one filled, one waiting

}  // namespace

TxbSortFeed::TxbSortFeed(std::vector<TxbSortRun> runs, bool ascending, bool unique)
    : merge_(std::move(runs), ascending), unique_(unique) {
  for (int i = 0; i < kBlocks; ++i) {
    free_.push_back(
        Block{std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes + kReadSlack), 0});
  }
  merging_ = std::thread([this] { Merge(); });
}

TxbSortFeed::~TxbSortFeed() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  merging_.join();
}

void TxbSortFeed::Merge() {
  try {
    for (;;) {
      Block block;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopping_ || !free_.empty(); });
        if (stopping_) return;
        block = std::move(free_.back());
        free_.pop_back();
      }
      const bool more = Fill(block);
      {
        const std::lock_guard lock(mutex_);
        full_.push_back(std::move(block));
        finished_ = !more;
      }
      changed_.notify_all();
      if (!more) return;
    }
  } catch (...) {
    {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      finished_ = true;
    }
    changed_.notify_all();
  }
}

bool TxbSortFeed::Fill(Block& block) {
  block.used = 0;
  while (!merge_.empty()) {
    const TxbSortRun& top = merge_.Top();
    if (block.used + kEntryHead + top.length() > kBlockBytes) return true;
    if (!unique_ || !RepeatsPreviousKey(top)) {
      if (unique_) RememberKey(top);
      std::uint8_t* at = block.bytes.get() + block.used;
      at[0] = top.tag();
      at[1] = static_cast<std::uint8_t>(top.length());
      at[2] = static_cast<std::uint8_t>(top.length() >> 8);
      std::memcpy(at + kEntryHead, top.bytes(), top.length());
      block.used += kEntryHead + top.length();
    }
    merge_.Pop();
  }
  return false;
}

// Unique mode: whether the key of the top string was taken last (record numbers aside).
bool TxbSortFeed::RepeatsPreviousKey(const TxbSortRun& run) const {
  const std::size_t keyLength = run.length() - kSortRecordBytes;
  return hasPrevious_ && keyLength == previousKeyLength_ &&
         std::memcmp(run.bytes(), previousKey_, keyLength) == 0;
}

void TxbSortFeed::RememberKey(const TxbSortRun& run) {
  previousKeyLength_ = run.length() - kSortRecordBytes;
  std::memcpy(previousKey_, run.bytes(), previousKeyLength_);
  hasPrevious_ = true;
}

bool TxbSortFeed::TakeFullBlock() {
  std::unique_lock lock(mutex_);
  if (reading_.bytes) {
    free_.push_back(std::move(reading_));
    changed_.notify_all();
  }
  changed_.wait(lock, [this] { return finished_ || !full_.empty(); });
  if (full_.empty()) {
    if (failure_) std::rethrow_exception(failure_);
    return false;
  }
  reading_ = std::move(full_.front());
  full_.pop_front();
  readAt_ = 0;
  return true;
}

bool TxbSortFeed::Next(Stored& stored) {
  while (readAt_ >= reading_.used) {
    if (!TakeFullBlock()) return false;
  }
  const std::uint8_t* at = reading_.bytes.get() + readAt_;
  stored.tag = at[0];
  stored.length = at[1] | static_cast<std::size_t>(at[2]) << 8;
  stored.bytes = at + kEntryHead;
  readAt_ += kEntryHead + stored.length;
  return true;
}

}  // namespace tables
