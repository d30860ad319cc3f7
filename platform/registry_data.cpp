#include <algorithm>

#include "platform/byte_order.hpp"
#include "platform/registry.hpp"

namespace platform {

std::vector<std::uint8_t> DwordData(std::uint32_t value) {
  std::vector<std::uint8_t> data;
  AppendLE32(data, value);
  return data;
}

std::vector<std::uint8_t> StringData(std::string_view text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::string StringFromData(std::span<const std::uint8_t> data) {
  auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::string(data.begin(), end);
}

std::uint32_t DwordFromData(std::span<const std::uint8_t> data) {
  if (data.size() < 4) return 0;
  return ReadLE32(data.data());
}

}  // namespace platform
