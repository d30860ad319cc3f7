#pragma once
// The key of the product's encrypted tables (site lists, users, configuration).
#include <string_view>

namespace app {

inline constexpr std::string_view kTableKey = "q3#Lm9!";

}  // namespace app
