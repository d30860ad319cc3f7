#include "tools/mkdist/table_builder.hpp"

#include "platform/exception.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"
#include "tables/index/cdx_file.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/engine.hpp"

namespace mkdist {
namespace {

std::string BaseName(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  return std::string(fileName.substr(0, dot));
}

std::string MemoExtension(std::uint8_t version) {
  return version == 0x83 || version == 0x8B ? ".dbt" : ".fpt";
}

// The names the table's files get, the table file first.
std::vector<std::string> FileNames(const TableRecipe& recipe) {
  const std::string base = BaseName(recipe.fileName);
  return {recipe.fileName, base + MemoExtension(recipe.version), base + ".cdx"};
}

void RemoveIfThere(const std::string& path) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  if (!files.Exists(path)) return;
  const platform::ErrorCode error = files.Remove(path);
  if (error != platform::win_error::Success) {
    throw platform::Exception("Cannot replace \"" + path + "\" (Windows error " +
                              std::to_string(error) + ")");
  }
}

// The engine names the files it makes in upper case; the product spells them its own way.
void SpellAsTheProductDoes(const std::string& path) {
  platform::FileSystem& files = platform::CurrentMachine().files();
  if (!files.Exists(path)) return;
  const platform::ErrorCode error = files.Rename(path, path);
  if (error != platform::win_error::Success) {
    throw platform::Exception("Cannot rename \"" + path + "\" (Windows error " +
                              std::to_string(error) + ")");
  }
}

void BuildTags(tables::XBO_dBaseFld& table, const TableRecipe& recipe, const std::string& path) {
  const tables::TxbExpEngineScope expressions;
  tables::XBobjCDXFile index(table, path, recipe.key,
                             {.create = true, .shared = false, .writable = true});
  for (const tables::XbTagDefinition& tag : recipe.tags)
    index.AddTag(tag);
}

}  // namespace

void WriteTable(std::string_view folder, const TableRecipe& recipe) {
  const tables::XbEngineScope engine;
  std::vector<std::string> paths;
  for (const std::string& name : FileNames(recipe))
    paths.push_back(platform::PathJoin(folder, name));
  for (const std::string& path : paths)
    RemoveIfThere(path);
  tables::CreateTable(paths[0], recipe.version, recipe.fields, recipe.key);
  {
    tables::XBO_dBaseFld table(paths[0], false, true, recipe.key);
    if (recipe.fill) recipe.fill(table);
    if (!recipe.tags.empty()) BuildTags(table, recipe, paths[2]);
    table.Close();
  }
  for (const std::string& path : paths)
    SpellAsTheProductDoes(path);
}

tables::XbTagDefinition PlainTag(std::string name, std::string keyExpression) {
  tables::XbTagDefinition tag;
  tag.name = std::move(name);
  tag.keyExpression = std::move(keyExpression);
  return tag;
}

void AppendRecord(tables::XBO_dBaseFld& table, const std::function<void()>& set) {
  table.BlankRecord();
  set();
  table.AppendRecord();
}

}  // namespace mkdist
