#pragma once
// Pictures: a decoded bitmap (width, height, RGB pixels row by row from the top) held by a
// TPicture, which image controls, picture buttons and the application icon show. A picture is
// loaded from the bytes of a file:
//
//   forms::TPicture picture;
//   picture.LoadJpeg(bytes);        // EInvalidGraphic with a ready message when not a JPEG
//   Image1.Picture() = picture;
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/exception.hpp"

namespace forms {

// A picture whose data cannot be decoded.
class EInvalidGraphic : public platform::Exception {
 public:
  using platform::Exception::Exception;
};

struct TBitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes: R, G, B

  bool Empty() const { return width == 0 || height == 0; }
  // The pixel at (x, y) as 0x00RRGGBB.
  std::uint32_t Pixel(int x, int y) const;
};

class TPicture {
 public:
  bool Empty() const { return bitmap_.Empty(); }
  int Width() const { return bitmap_.width; }
  int Height() const { return bitmap_.height; }
  const TBitmap& Bitmap() const { return bitmap_; }
  void Assign(TBitmap bitmap) { bitmap_ = std::move(bitmap); }
  void Clear() { bitmap_ = {}; }
  // Decodes a complete JPEG file; the picture is unchanged when decoding fails.
  void LoadJpeg(std::span<const std::uint8_t> bytes);

 private:
  TBitmap bitmap_;
};

}  // namespace forms
