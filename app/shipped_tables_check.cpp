#include "app/shipped_tables_check.hpp"

#include <array>
#include <string>

#include "app/table_key.hpp"
#include "platform/exception.hpp"
#include "platform/path_parts.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace app {
namespace {

constexpr std::array<std::string_view, 5> kShippedTables{"KV015.dat", "KV025.dat", "KV035.dat",
                                                         "KV100.dat", "KVUS.dat"};

}  // namespace

std::span<const std::string_view> ShippedTables() {
  return kShippedTables;
}

void CheckShippedTablesOpen(std::string_view setupDir) {
  for (std::string_view name : kShippedTables) {
    const std::string path = platform::PathJoin(setupDir, name);
    try {
      tables::XBO_dBaseFld table(path, true, false, kTableKey);
      table.Close();
    } catch (const std::exception& error) {
      throw platform::Exception("Setup cannot open the table " + path + ": " + error.what() +
                                "\r\n\nNothing has been changed on this computer.");
    }
  }
}

}  // namespace app
