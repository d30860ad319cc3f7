#include "tables/index/sort_run.hpp"

#include <cstring>

namespace tables {
namespace {

constexpr std::size_t kEntryHead = 5;  // type tag, total length, new bytes

void PutLength(std::uint8_t* at, std::size_t length) {
  at[0] = static_cast<std::uint8_t>(length);
  at[1] = static_cast<std::uint8_t>(length >> 8);
}

std::size_t GetLength(const std::uint8_t* at) {
  return at[0] | static_cast<std::size_t>(at[1]) << 8;
}
constexpr std::uint8_t kEndOfPage = 0;

// Copies count bytes in whole steps of kCopySlack bytes, without a library call for each of
// the short strings of a run; both sides have room for the bytes up to the step's end.
void CopyInSteps(std::uint8_t* to, const std::uint8_t* from, std::size_t count) {
  constexpr std::size_t kStep = TxbSortRun::kCopySlack;
  for (std::size_t at = 0; at < count; at += kStep) {
    std::uint8_t step[kStep];
    std::memcpy(step, from + at, kStep);
    std::memcpy(to + at, step, kStep);
  }
}

}  // namespace

void TxbSortRun::StartPage() {
  pages_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kPageSize + kCopySlack));
  writeAt_ = 0;
  pages_.back()[0] = kEndOfPage;
}

void TxbSortRun::Append(std::uint8_t tag, const std::uint8_t* bytes, std::size_t length,
                        std::size_t shared) {
  std::size_t fresh = length - shared;
  // One byte always stays free behind the last entry for the end-of-page mark.
  if (pages_.empty() || writeAt_ + kEntryHead + fresh >= kPageSize) {
    StartPage();
    shared = 0;
    fresh = length;
  }
  std::uint8_t* at = pages_.back().get() + writeAt_;
  at[0] = tag;
  PutLength(at + 1, length);
  PutLength(at + 3, fresh);
  CopyInSteps(at + kEntryHead, bytes + shared, fresh);
  writeAt_ += kEntryHead + fresh;
  at[kEntryHead + fresh] = kEndOfPage;
}

bool TxbSortRun::Advance() {
  if (readPage_ >= pages_.size()) return false;
  const std::uint8_t* at = pages_[readPage_].get() + readAt_;
  if (*at == kEndOfPage) {
    pages_[readPage_].reset();
    if (++readPage_ >= pages_.size()) return false;
    readAt_ = 0;
    at = pages_[readPage_].get();
  }
  currentTag_ = at[0];
  currentLength_ = GetLength(at + 1);
  std::size_t fresh = GetLength(at + 3);
  CopyInSteps(current_ + currentLength_ - fresh, at + kEntryHead, fresh);
  readAt_ += kEntryHead + fresh;
  return true;
}

}  // namespace tables
