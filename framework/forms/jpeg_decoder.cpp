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
  std::string failure;
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

// Only plain C objects live in this frame, so leaving it through longjmp skips no destructor;
// everything that must survive is reached through the pointers given.
bool Decode(Decoding* d, const std::uint8_t* data, std::size_t size, TBitmap* out) {
  if (setjmp(d->error.jump)) return false;
  jpeg_mem_src(&d->info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d->info, TRUE);
  d->info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&d->info);
  const std::uint64_t pixels =
      std::uint64_t{d->info.output_width} * std::uint64_t{d->info.output_height};
  if (pixels > kMaxPixels) {
    d->failure = "the picture is too large (" + std::to_string(d->info.output_width) + " x " +
                 std::to_string(d->info.output_height) + " pixels)";
    return false;
  }
  jpeg_start_decompress(&d->info);
  out->width = static_cast<int>(d->info.output_width);
  out->height = static_cast<int>(d->info.output_height);
  out->pixels.assign(pixels * 3, 0);
  const std::size_t stride = std::size_t{d->info.output_width} * 3;
  while (d->info.output_scanline < d->info.output_height) {
    JSAMPROW row = out->pixels.data() + std::size_t{d->info.output_scanline} * stride;
    jpeg_read_scanlines(&d->info, &row, 1);
  }
  jpeg_finish_decompress(&d->info);
  return true;
}

}  // namespace

TBitmap DecodeJpeg(std::span<const std::uint8_t> bytes) {
  auto d = std::make_unique<Decoding>();
  d->info.err = jpeg_std_error(&d->error.base);
  d->error.base.error_exit = Fail;
  d->error.base.emit_message = Warn;
  jpeg_create_decompress(&d->info);
  TBitmap bitmap;
  const bool decoded = Decode(d.get(), bytes.data(), bytes.size(), &bitmap);
  jpeg_destroy_decompress(&d->info);
  if (!decoded) {
    const std::string reason = d->failure.empty() ? d->error.message : d->failure;
    throw EInvalidGraphic("The picture cannot be decoded: " + reason);
  }
  return bitmap;
}

}  // namespace forms
