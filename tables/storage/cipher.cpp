#include "tables/storage/cipher.hpp"

#include <cstring>

namespace tables {

int TransformBlock(std::string_view key, const std::uint8_t* source, std::uint8_t* target,
                   std::size_t count, bool encode) {
  if (key.empty()) {
    if (source != target && count > 0) std::memmove(target, source, count);
    return 0;
  }
  std::size_t keyIndex = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto mask =
        static_cast<std::uint8_t>((i & 0xFF) | static_cast<std::uint8_t>(key[keyIndex]));
    target[i] = static_cast<std::uint8_t>(source[i] ^ mask);
    if (++keyIndex == key.size()) keyIndex = 0;
  }
  return encode ? 1 : -1;
}

}  // namespace tables
