#pragma once
// The picture behind the setup wizard: a blue gradient with the product's name in large
// block letters and "SETUP" under it, 640 x 480 like the wizard's picture area.
#include <cstdint>
#include <vector>

#include "framework/forms/picture.hpp"

namespace mkdist {

inline constexpr int kInstallPictureWidth = 640;
inline constexpr int kInstallPictureHeight = 480;

forms::TBitmap InstallPictureBitmap();
// The bitmap as the JPEG file the configuration table holds.
std::vector<std::uint8_t> InstallPictureJpeg();

}  // namespace mkdist
