#include "framework/forms/picture.hpp"

#include <gtest/gtest.h>

// clang-format off: jpeglib.h needs <cstdio> first.
#include <jpeglib.h>
#include <cstdio>
// clang-format on

#include <cstdlib>

namespace {

// A JPEG of the given size: left half red, right half blue.
std::vector<std::uint8_t> EncodeHalves(int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    row[static_cast<std::size_t>(x) * 3] = x < width / 2 ? 255 : 0;
    row[static_cast<std::size_t>(x) * 3 + 2] = x < width / 2 ? 0 : 255;
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

bool Near(std::uint32_t rgb, std::uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((rgb >> shift) & 0xFF);
    const int b = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - b) > 24) return false;
  }
  return true;
}

TEST(Picture, DecodesAJpegIntoRgbPixels) {
  forms::TPicture picture;
  picture.LoadJpeg(EncodeHalves(64, 48));
  EXPECT_EQ(picture.Width(), 64);
  EXPECT_EQ(picture.Height(), 48);
  EXPECT_EQ(picture.Bitmap().pixels.size(), 64u * 48u * 3u);
  EXPECT_TRUE(Near(picture.Bitmap().Pixel(4, 20), 0xFF0000));
  EXPECT_TRUE(Near(picture.Bitmap().Pixel(60, 20), 0x0000FF));
}

TEST(Picture, DamagedDataIsRefusedAndLeavesThePictureAsItWas) {
  const auto good = EncodeHalves(32, 32);
  forms::TPicture picture;
  picture.LoadJpeg(good);

  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  std::vector<std::uint8_t> notJpeg{'B', 'M', 0x36, 0, 0, 0, 0, 0};
  for (const auto& bytes : {truncated, notJpeg, std::vector<std::uint8_t>{}}) {
    EXPECT_THROW(picture.LoadJpeg(bytes), forms::EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 32);
  }
}

TEST(Picture, HeaderClaimingAGiantPictureIsRefused) {
  auto bytes = EncodeHalves(16, 16);
  // The frame header (FF C0) holds the height and width after its length and precision.
  for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = bytes[i + 7] = 0xFF;
      bytes[i + 6] = bytes[i + 8] = 0x00;
      break;
    }
  }
  try {
    forms::TPicture picture;
    picture.LoadJpeg(bytes);
    FAIL() << "decoded";
  } catch (const forms::EInvalidGraphic& error) {
    EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
  }
}

}  // namespace
