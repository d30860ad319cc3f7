#include "tools/mkdist/jpeg_encoder.hpp"

// clang-format off: jpeglib.h needs <cstdio> first.
#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// clang-format on

#include <memory>
#include <string>

#include "platform/exception.hpp"

namespace mkdist {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

struct Encoding {
  jpeg_compress_struct info;
  ErrorManager error;
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
};

[[noreturn]] void Fail(j_common_ptr info) {
  auto* error = reinterpret_cast<ErrorManager*>(info->err);
  info->err->format_message(info, error->message);
  std::longjmp(error->jump, 1);
}

// Holds only plain C objects in its frame, so leaving it through longjmp skips no destructor.
bool Compress(Encoding* e, const forms::TBitmap* bitmap, int quality) {
  if (setjmp(e->error.jump)) return false;
  jpeg_mem_dest(&e->info, &e->output, &e->outputSize);
  e->info.image_width = static_cast<JDIMENSION>(bitmap->width);
  e->info.image_height = static_cast<JDIMENSION>(bitmap->height);
  e->info.input_components = 3;
  e->info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&e->info);
  jpeg_set_quality(&e->info, quality, TRUE);
  jpeg_start_compress(&e->info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(bitmap->width) * 3;
  while (e->info.next_scanline < e->info.image_height) {
    // libjpeg takes rows as non-const pointers but only reads them.
    auto* row = const_cast<JSAMPLE*>(bitmap->pixels.data() + e->info.next_scanline * stride);
    jpeg_write_scanlines(&e->info, &row, 1);
  }
  jpeg_finish_compress(&e->info);
  return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const forms::TBitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw platform::Exception("An empty picture cannot be encoded");
  auto e = std::make_unique<Encoding>();
  e->info.err = jpeg_std_error(&e->error.base);
  e->error.base.error_exit = Fail;
  jpeg_create_compress(&e->info);
  const bool done = Compress(e.get(), &bitmap, quality);
  jpeg_destroy_compress(&e->info);
  std::vector<std::uint8_t> bytes;
  if (done) bytes.assign(e->output, e->output + e->outputSize);
  std::free(e->output);
  if (!done) {
    throw platform::Exception(std::string("The picture cannot be encoded: ") + e->error.message);
  }
  return bytes;
}

}  // namespace mkdist
