#include "tools/mkdist/install_picture.hpp"

#include <array>
#include <string_view>

#include "tools/mkdist/jpeg_encoder.hpp"

namespace mkdist {
namespace {

constexpr int kGlyphColumns = 5;
constexpr int kGlyphRows = 7;
using Glyph = std::array<std::string_view, kGlyphRows>;

struct Letter {
  char letter;
  Glyph rows;
};

constexpr std::array<Letter, 11> kLetters{{
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
}};

const Glyph& GlyphOf(char letter) {
  for (const Letter& known : kLetters)
    if (known.letter == letter) return known.rows;
  return kLetters[0].rows;
}

void SetPixel(forms::TBitmap& bitmap, int x, int y, std::uint32_t rgb) {
  if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return;
  const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.width) +
                   static_cast<std::size_t>(x)) *
                  3;
  bitmap.pixels[at] = static_cast<std::uint8_t>(rgb >> 16);
  bitmap.pixels[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
  bitmap.pixels[at + 2] = static_cast<std::uint8_t>(rgb);
}

// Navy at the top to a light blue at the bottom.
void PaintGradient(forms::TBitmap& bitmap) {
  for (int y = 0; y < bitmap.height; ++y) {
    const int shade = y * 255 / (bitmap.height - 1);
    const auto rgb =
        static_cast<std::uint32_t>((shade / 4) << 16 | (shade / 2) << 8 | (96 + shade * 159 / 255));
    for (int x = 0; x < bitmap.width; ++x)
      SetPixel(bitmap, x, y, rgb);
  }
}

// Text in block letters of cell x cell pixels, centred on the picture's width at top.
void PaintText(forms::TBitmap& bitmap, std::string_view text, int top, int cell,
               std::uint32_t rgb) {
  const int advance = (kGlyphColumns + 1) * cell;
  const int width = static_cast<int>(text.size()) * advance - cell;
  int left = (bitmap.width - width) / 2;
  for (char letter : text) {
    const Glyph& glyph = GlyphOf(letter);
    for (int row = 0; row < kGlyphRows; ++row) {
      for (int column = 0; column < kGlyphColumns; ++column) {
        if (glyph[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] != '#') continue;
        for (int dy = 0; dy < cell; ++dy)
          for (int dx = 0; dx < cell; ++dx)
            SetPixel(bitmap, left + column * cell + dx, top + row * cell + dy, rgb);
      }
    }
    left += advance;
  }
}

}  // namespace

forms::TBitmap InstallPictureBitmap() {
  forms::TBitmap bitmap;
  bitmap.width = kInstallPictureWidth;
  bitmap.height = kInstallPictureHeight;
  bitmap.pixels.assign(static_cast<std::size_t>(bitmap.width * bitmap.height * 3), 0);
  PaintGradient(bitmap);
  PaintText(bitmap, "KORVANE", 24, 12, 0xFFFFFF);
  PaintText(bitmap, "SETUP", 404, 8, 0xFFD700);
  return bitmap;
}

std::vector<std::uint8_t> InstallPictureJpeg() {
  return EncodeJpeg(InstallPictureBitmap(), 85);
}

}  // namespace mkdist
