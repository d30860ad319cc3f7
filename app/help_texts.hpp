#pragma once
// The tips text of the finish page, as the pieces the page appends in order.
#include <span>
#include <string_view>

namespace app {

std::span<const std::string_view> FinishPieces();

}  // namespace app
