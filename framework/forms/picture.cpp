#include "framework/forms/picture.hpp"

#include "framework/forms/jpeg_decoder.hpp"

namespace forms {

std::uint32_t TBitmap::Pixel(int x, int y) const {
  const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)) *
                  3;
  return (std::uint32_t{pixels.at(at)} << 16) | (std::uint32_t{pixels.at(at + 1)} << 8) |
         pixels.at(at + 2);
}

void TPicture::LoadJpeg(std::span<const std::uint8_t> bytes) {
  bitmap_ = DecodeJpeg(bytes);
}

}  // namespace forms
