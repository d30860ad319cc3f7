#pragma once
// Converting typed text to a 32-bit whole number.
#include <cstdint>
#include <optional>
#include <string_view>

namespace app {

// Blanks around the number are ignored; an optional sign and at least one digit; the value
// must fit in 32 bits. Nothing otherwise.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

}  // namespace app
