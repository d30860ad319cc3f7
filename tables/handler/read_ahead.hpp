#pragma once
// XbReadAhead: the handler's read-ahead block, 32768 bytes rounded down to whole records (at
// least one). Reads it holds entirely are served from it; any other read reloads it from the
// requested offset. Writes through the handler update the bytes it holds.
#include <cstdint>
#include <functional>
#include <vector>

namespace tables {

class XbReadAhead {
 public:
  static constexpr std::uint32_t kBlockBytes = 32768;
  // Reads up to length bytes at offset from the file; the bytes read.
  using Loader =
      std::function<std::uint32_t(std::uint64_t offset, void* buffer, std::uint32_t length)>;

  explicit XbReadAhead(std::uint32_t recordLength);

  // Copies length bytes at offset into buffer, from the block or after reloading it; the
  // bytes copied (fewer, down to 0, at the end of the file).
  std::uint32_t Read(std::uint64_t offset, void* buffer, std::uint32_t length, const Loader& load);
  // The bytes written at offset, copied over whatever part of them the block holds.
  void Update(std::uint64_t offset, const void* bytes, std::uint32_t length);
  void Drop();

  std::uint32_t capacity() const { return static_cast<std::uint32_t>(block_.size()); }
  bool empty() const { return first_ < 0; }

 private:
  bool Holds(std::uint64_t offset, std::uint32_t length) const;

  std::vector<std::uint8_t> block_;
  std::int64_t first_ = -1;  // file offset of the block's first byte; -1: empty
  std::uint64_t end_ = 0;    // file offset past its last byte
};

}  // namespace tables
