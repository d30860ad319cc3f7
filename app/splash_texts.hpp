#pragma once
// The page texts of the wizard, as the pieces each page appends in order.
#include <span>
#include <string_view>

#include "app/text_pieces.hpp"

namespace app {

std::span<const std::string_view> WelcomePieces();
std::span<const std::string_view> LicencePieces();

}  // namespace app
