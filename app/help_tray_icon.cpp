#include "app/help_tray_icon.hpp"

#include <cstdlib>

namespace app {

// A white shield with a blue border on the tray's grey, 32 x 32.
forms::TBitmap TrayIconBitmap() {
  constexpr int kSide = 32;
  forms::TBitmap bitmap;
  bitmap.width = kSide;
  bitmap.height = kSide;
  bitmap.pixels.reserve(kSide * kSide * 3);
  for (int y = 0; y < kSide; ++y) {
    int halfWidth = y < 20 ? 12 : 12 - (y - 20);
    for (int x = 0; x < kSide; ++x) {
      int offset = std::abs(x - kSide / 2);
      bool inside = y >= 4 && y < 32 && offset < halfWidth;
      bool border = inside && (offset >= halfWidth - 2 || y < 6);
      std::uint8_t r = 0xC0, g = 0xC0, b = 0xC0;
      if (border) {
        r = 0x10, g = 0x40, b = 0xC0;
      } else if (inside) {
        r = g = b = 0xFF;
      }
      bitmap.pixels.insert(bitmap.pixels.end(), {r, g, b});
    }
  }
  return bitmap;
}

}  // namespace app
