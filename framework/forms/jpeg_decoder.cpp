#include "framework/forms/jpeg_decoder.hpp"

// clang-format off: jpeglib.h needs <cstdio> first.
#include <jerror.h>
#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>
// clang-format on

#include <memory>
#include <string>

namespace forms {
namespace {

// Pictures beyond this are refused rather than allocated (a damaged header can claim 64K x 64K).
constexpr std::uint64_t kMaxPixels = 16u * 1024u * 1024u;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct Decoding {
  jpeg_decompress_struct info;
  ErrorManager error;
};

[[noreturn]] void Fail(j_common_ptr info) {
  auto* error = reinterpret_cast<ErrorManager*>(info->err);
  info->err->format_message(info, error->message);
  std::longjmp(error->jump, 1);
}

// Warnings are silent, except that data ending before the picture does is a failure: the
// picture would be partly grey.
void Warn(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) Fail(info);
}

// The two steps below hold only plain C objects in their frames, so leaving them through
// longjmp skips no destructor and clobbers nothing that is used afterwards.
bool ReadHeader(Decoding* d, const std::uint8_t* data, std::size_t size) {
  if (setjmp(d->error.jump)) return false;
  jpeg_mem_src(&d->info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d->info, TRUE);
  d->info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&d->info);
  return true;
}

bool ReadPixels(Decoding* d, std::uint8_t* pixels) {
  if (setjmp(d->error.jump)) return false;
  jpeg_start_decompress(&d->info);
  const std::size_t stride = std::size_t{d->info.output_width} * 3;
  while (d->info.output_scanline < d->info.output_height) {
    JSAMPROW row = pixels + std::size_t{d->info.output_scanline} * stride;
    jpeg_read_scanlines(&d->info, &row, 1);
  }
  jpeg_finish_decompress(&d->info);
  return true;
}

// Decodes into `bitmap`; an empty text on success, else what went wrong.
std::string Decode(Decoding* d, std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
  if (!ReadHeader(d, bytes.data(), bytes.size())) return d->error.message;
  const std::uint64_t pixels =
      std::uint64_t{d->info.output_width} * std::uint64_t{d->info.output_height};
  if (pixels > kMaxPixels) {
    return "the picture is too large (" + std::to_string(d->info.output_width) + " x " +
           std::to_string(d->info.output_height) + " pixels)";
  }
  bitmap.width = static_cast<int>(d->info.output_width);
  bitmap.height = static_cast<int>(d->info.output_height);
  bitmap.pixels.assign(pixels * 3, 0);
  if (!ReadPixels(d, bitmap.pixels.data())) return d->error.message;
  return {};
}

}  // namespace

TBitmap DecodeJpeg(std::span<const std::uint8_t> bytes) {
  auto d = std::make_unique<Decoding>();
  d->info.err = jpeg_std_error(&d->error.base);
  d->error.base.error_exit = Fail;
  d->error.base.emit_message = Warn;
  jpeg_create_decompress(&d->info);
  TBitmap bitmap;
  const std::string failure = Decode(d.get(), bytes, bitmap);
  jpeg_destroy_decompress(&d->info);
  if (!failure.empty()) throw EInvalidGraphic("The picture cannot be decoded: " + failure);
  return bitmap;
}

}  // namespace forms
