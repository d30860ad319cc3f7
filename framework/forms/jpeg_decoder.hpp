#pragma once
// JPEG decoding (baseline and progressive, grey or colour) into an RGB bitmap.
#include <cstdint>
#include <span>

#include "framework/forms/picture.hpp"

namespace forms {

// Decodes a complete JPEG file. Raises EInvalidGraphic with a readable text for data that is
// not a JPEG, is cut short, or describes a picture too large to hold.
TBitmap DecodeJpeg(std::span<const std::uint8_t> bytes);

}  // namespace forms
