#include "tables/storage/engine.hpp"

#include <memory>
#include <mutex>

#include "tables/storage/aliases.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/file_collection.hpp"

namespace tables {
namespace {

std::recursive_mutex engineGuard;
int starts = 0;
std::unique_ptr<XbAliasList> aliases;
std::unique_ptr<TxbDBFDate> date;

}  // namespace

void XbEngine::Start() {
  Start(platform::CurrentMachine());
}

void XbEngine::Start(platform::Machine& machine) {
  std::lock_guard guard(engineGuard);
  if (starts == 0) {
    auto loaded = std::make_unique<XbAliasList>();
    loaded->Load(machine);
    aliases = std::move(loaded);
    date = std::make_unique<TxbDBFDate>();
    XbFiles();
  }
  ++starts;
}

void XbEngine::Shutdown() {
  std::lock_guard guard(engineGuard);
  if (starts == 0) return;
  if (--starts > 0) return;
  XbFreeFiles();
  date.reset();
  aliases.reset();
}

bool XbEngine::Running() {
  std::lock_guard guard(engineGuard);
  return starts > 0;
}

XbAliasList& XbAliases() {
  std::lock_guard guard(engineGuard);
  if (!aliases) aliases = std::make_unique<XbAliasList>();
  return *aliases;
}

TxbDBFDate& XbDate() {
  std::lock_guard guard(engineGuard);
  if (!date) date = std::make_unique<TxbDBFDate>();
  return *date;
}

}  // namespace tables
