#pragma once
// Writing a complete table through the table engine: the table file (and its memo file), its
// records and the tags of its compound index, under the names the product spells them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/index_file.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace mkdist {

struct TableRecipe {
  std::string fileName;  // as the product spells it: "KV015.dat"
  std::uint8_t version = 0x03;
  std::vector<tables::XbFieldDef> fields;
  std::string key;  // empty: a plain table
  // Appends the records (and marks some deleted when it wants to) through the open table.
  std::function<void(tables::XBO_dBaseFld& table)> fill;
  // Built from every record once they are all in, in "<name>.cdx"; none: no index file.
  std::vector<tables::XbTagDefinition> tags;
};

// Writes the table into folder on the current machine, replacing the files of that name
// (table, memo and index file). The memo and index files are spelled like the table file
// ("KVconf.fpt", "KV015.cdx"). Engine and file errors pass through as they are.
void WriteTable(std::string_view folder, const TableRecipe& recipe);

// A tag as the product's tables have them: no filter, duplicates allowed, ascending.
tables::XbTagDefinition PlainTag(std::string name, std::string keyExpression);

// Appends one record: blanks the record image, lets set fill its fields, appends it.
void AppendRecord(tables::XBO_dBaseFld& table, const std::function<void()>& set);

}  // namespace mkdist
