#include "tables/index/index_path.hpp"

#include "platform/path_parts.hpp"
#include "tables/storage/table_names.hpp"

namespace tables {

std::string XbIndexFilePath(XBO_dBaseFld& table, std::string_view name,
                            std::string_view defaultExtension) {
  const auto first = name.find_first_not_of(' ');
  name = first == std::string_view::npos
             ? std::string_view()
             : name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string result = table.machine().codePages().Upper(name);
  if (platform::PathExtension(result).empty()) result = XbWithExtension(result, defaultExtension);
  if (platform::PathFolder(result).empty()) {
    result = platform::PathJoin(platform::PathFolder(table.path()), result);
  }
  return result;
}

}  // namespace tables
