#include "tables/storage/cipher.hpp"

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace tables {
namespace {

// The mask of byte i repeats every lcm(256, key length) bytes. Every index page and record of
// an encrypted table passes through here on each search and update, so the masks of the last
// key are kept rather than worked out byte by byte.
struct MaskCycle {
  std::string key;
  std::vector<std::uint8_t> masks;
};

const std::vector<std::uint8_t>& MasksOf(std::string_view key) {
  thread_local MaskCycle cycle;
  if (cycle.key != key || cycle.masks.empty()) {
    cycle.key = std::string(key);
    cycle.masks.resize(std::lcm(std::size_t{256}, key.size()));
    for (std::size_t i = 0; i < cycle.masks.size(); ++i)
      cycle.masks[i] =
          static_cast<std::uint8_t>((i & 0xFF) | static_cast<std::uint8_t>(key[i % key.size()]));
  }
  return cycle.masks;
}

}  // namespace

int TransformBlock(std::string_view key, const std::uint8_t* source, std::uint8_t* target,
                   std::size_t count, bool encode) {
  if (key.empty()) {
    if (source != target && count > 0) std::memmove(target, source, count);
    return 0;
  }
  const std::vector<std::uint8_t>& masks = MasksOf(key);
  for (std::size_t done = 0; done < count;) {
    const std::size_t length = std::min(count - done, masks.size());
    for (std::size_t i = 0; i < length; ++i)
      target[done + i] = static_cast<std::uint8_t>(source[done + i] ^ masks[i]);
    done += length;
  }
  return encode ? 1 : -1;
}

}  // namespace tables
