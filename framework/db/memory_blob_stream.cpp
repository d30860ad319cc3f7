#include "framework/db/memory_blob_stream.hpp"

#include <algorithm>
#include <cstring>

#include "framework/db/database_error.hpp"

namespace db {

TMemoryBlobStream::TMemoryBlobStream(std::string contents,
                                     std::function<void(const std::string&)> commit)
    : contents_(std::move(contents)), commit_(std::move(commit)) {}

std::size_t TMemoryBlobStream::Read(void* buffer, std::size_t count) {
  if (position_ >= contents_.size()) return 0;
  const std::size_t copied = std::min(count, contents_.size() - position_);
  std::memcpy(buffer, contents_.data() + position_, copied);
  position_ += copied;
  return copied;
}

void TMemoryBlobStream::Write(const void* buffer, std::size_t count) {
  if (position_ + count > contents_.size()) contents_.resize(position_ + count);
  std::memcpy(contents_.data() + position_, buffer, count);
  position_ += count;
}

std::int64_t TMemoryBlobStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(position_);
  if (origin == SeekOrigin::End) base = Size();
  if (base + offset < 0) throw EDatabaseError("Stream position before its start");
  position_ = static_cast<std::size_t>(base + offset);
  return base + offset;
}

void TMemoryBlobStream::Commit() {
  commit_(contents_);
}

}  // namespace db
