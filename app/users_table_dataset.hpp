#pragma once
// The account form's users table over the table engine: "KVUS.dat" of the given folder,
// encrypted with the product key, opened exclusively in the order of its tag "UserName".
#include <memory>
#include <string>

#include "app/users_table.hpp"

namespace app {

// Raises the engine's error when the table cannot be opened or indexed.
std::unique_ptr<UsersTable> OpenUsersTable(const std::string& systemDir);

}  // namespace app
