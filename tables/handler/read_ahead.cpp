#include "tables/handler/read_ahead.hpp"

#include <algorithm>
#include <cstring>

namespace tables {

XbReadAhead::XbReadAhead(std::uint32_t recordLength)
    : block_(std::max<std::uint32_t>(1, kBlockBytes / std::max<std::uint32_t>(recordLength, 1)) *
             std::max<std::uint32_t>(recordLength, 1)) {}

bool XbReadAhead::Holds(std::uint64_t offset, std::uint32_t length) const {
  return first_ >= 0 && offset >= static_cast<std::uint64_t>(first_) && offset + length <= end_;
}

std::uint32_t XbReadAhead::Read(std::uint64_t offset, void* buffer, std::uint32_t length,
                                const Loader& load) {
  if (!Holds(offset, length)) {
    Drop();
    const std::uint32_t loaded = load(offset, block_.data(), capacity());
    if (loaded == 0) return 0;
    first_ = static_cast<std::int64_t>(offset);
    end_ = offset + loaded;
  }
  const auto from = static_cast<std::size_t>(offset - static_cast<std::uint64_t>(first_));
  const auto served = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, end_ - offset));
  std::memcpy(buffer, block_.data() + from, served);
  return served;
}

void XbReadAhead::Update(std::uint64_t offset, const void* bytes, std::uint32_t length) {
  if (first_ < 0) return;
  const auto first = static_cast<std::uint64_t>(first_);
  const std::uint64_t from = std::max(offset, first);
  const std::uint64_t to = std::min(offset + length, end_);
  if (from >= to) return;
  std::memcpy(block_.data() + (from - first),
              static_cast<const std::uint8_t*>(bytes) + (from - offset),
              static_cast<std::size_t>(to - from));
}

void XbReadAhead::Drop() {
  first_ = -1;
  end_ = 0;
}

}  // namespace tables
