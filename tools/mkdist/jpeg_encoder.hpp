#pragma once
// JPEG encoding of an RGB bitmap (baseline, 4:2:0), for the pictures mkdist ships.
#include <cstdint>
#include <vector>

#include "framework/forms/picture.hpp"

namespace mkdist {

// The complete JPEG file of the bitmap. An empty bitmap or a failure of the encoder raises
// platform::Exception saying why.
std::vector<std::uint8_t> EncodeJpeg(const forms::TBitmap& bitmap, int quality);

}  // namespace mkdist
