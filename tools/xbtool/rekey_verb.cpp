// rekey TABLE --key OLD --new-key NEW: enciphers a table, its memo file and its index files
// under a new key (either key may be empty: plain).
#include <vector>

#include "platform/machine.hpp"
#include "tables/storage/dbf_format.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tools/xbtool/table_access.hpp"
#include "tools/xbtool/tool_error.hpp"

namespace tools::xbtool {
namespace {

constexpr const char* kHelp =
    "Usage: xbtool rekey TABLE [--key OLD] --new-key NEW [--index FILE]...\n"
    "\n"
    "Changes the key of the table: its records, memo texts, field descriptions and its\n"
    "production index (and the files named by --index) are enciphered again under NEW. No key\n"
    "(or an empty one) on either side means a plain table. The table must not be in use by\n"
    "another program. Copies of the files as they were are kept as NAME.OLDKEY while the key\n"
    "changes; should the change fail part-way they stay, and copying them back over the\n"
    "originals recovers the table.\n";

constexpr const char* kBackupSuffix = ".OLDKEY";

// The files a key change rewrites: the table, its memo file and its open index files.
std::vector<std::string> FilesOf(tables::XBO_dBHandler& table) {
  std::vector<std::string> files{table.path()};
  if (table.hasMemo()) {
    files.push_back(
        tables::XbWithExtension(table.path(), tables::XbMemoExtension(table.memoKind())));
  }
  for (int slot = 1; slot <= tables::kIndexSlots; ++slot) {
    if (tables::XBobjIndexFile* file = table.IndexSlot(slot)) {
      files.push_back(file->diskFile().path());
    }
  }
  return files;
}

void RemoveCopies(platform::FileSystem& files, const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    files.Remove(path + kBackupSuffix);
}

void CopyFiles(platform::FileSystem& files, const std::vector<std::string>& paths) {
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (const auto error = files.Copy(paths[i], paths[i] + kBackupSuffix, false); error != 0) {
      RemoveCopies(files, {paths.begin(), paths.begin() + static_cast<std::ptrdiff_t>(i)});
      throw ToolError("cannot keep a copy of " + paths[i] + " (system error " +
                      std::to_string(error) + "); nothing was changed");
    }
  }
}

std::string RecoveryAdvice(const VerbContext& context, const std::vector<std::string>& paths) {
  std::string advice = "; the files as they were before the change are kept: copy ";
  for (std::size_t i = 0; i < paths.size(); ++i) {
    advice += (i == 0 ? "" : ", ") + DisplayName(context, paths[i] + kBackupSuffix);
  }
  return advice + " back over the files of the same name without " + kBackupSuffix +
         " to recover the table, then run rekey again";
}

int RunRekey(VerbContext& context) {
  const auto& positionals = context.arguments.positionals();
  const std::string newKey =
      context.codec.ToTable(context.arguments.Value("--new-key").value_or(""));
  std::vector<std::string> paths;
  {
    // The copies are taken before the table is held exclusively: nothing could read it then.
    const auto reader = OpenHandler(context, positionals[0], TableAccess::Read);
    paths = FilesOf(*reader);
  }
  auto& files = context.machine.files();
  CopyFiles(files, paths);
  std::unique_ptr<tables::XBO_dBHandler> table;
  try {
    table = OpenHandler(context, positionals[0], TableAccess::Exclusive);
  } catch (const platform::Exception&) {
    RemoveCopies(files, paths);
    throw;
  }
  try {
    table->ChangeKey(newKey);
    table->Close();
  } catch (const tables::EXbaseError& error) {
    throw ToolError(error.what() + RecoveryAdvice(context, paths));
  }
  RemoveCopies(files, paths);
  context.out << (newKey.empty() ? "the table is now plain\n" : "the table has its new key\n");
  return kExitSuccess;
}

}  // namespace

const Verb& RekeyVerb() {
  static const Verb verb{
      "rekey",     "change the key of a table and its memo and index files", kHelp,
      {{"TABLE"}}, {{"--new-key", true}, {"--index", true, true}},           RunRekey};
  return verb;
}

}  // namespace tools::xbtool
