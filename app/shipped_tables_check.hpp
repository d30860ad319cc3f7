#pragma once
// The encrypted tables a setup folder must ship for the installation to finish: the four site
// lists and the users table. Checked before the installation changes anything.
#include <span>
#include <string_view>

namespace app {

// The tables, in the order the installation merges them.
std::span<const std::string_view> ShippedTables();

// Raises platform::Exception naming the table and the engine's reason when one of them is
// missing or does not open with the product key.
void CheckShippedTablesOpen(std::string_view setupDir);

}  // namespace app
