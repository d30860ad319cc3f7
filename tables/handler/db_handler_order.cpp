// The handler's index slots: opening and closing index files, the current order, tag builds.
#include <algorithm>
#include <exception>

#include "platform/path_parts.hpp"
#include "tables/handler/db_handler.hpp"
#include "tables/handler/index_list.hpp"
#include "tables/handler/work_state.hpp"
#include "tables/index/cdx_file.hpp"
#include "tables/index/mdx_file.hpp"
#include "tables/index/ndx_file.hpp"
#include "tables/index/ntx_file.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// The index file class of an extension; nullptr for an extension that names no index kind.
std::unique_ptr<XBobjIndexFile> MakeIndexFile(XBO_dBaseFld& table, const std::string& path,
                                              const std::string& extension, std::string key,
                                              XbIndexOpenMode mode) {
  if (extension == ".CDX") return std::make_unique<XBobjCDXFile>(table, path, key, mode);
  if (extension == ".MDX") return std::make_unique<XBobjMDXFile>(table, path, key, mode);
  if (extension == ".NDX") return std::make_unique<XBobjNDXFile>(table, path, key, mode);
  if (extension == ".NTX") return std::make_unique<XBobjNTXFile>(table, path, key, mode);
  return nullptr;
}

bool IsIndexExtension(const std::string& extension) {
  return extension == ".CDX" || extension == ".MDX" || extension == ".NDX" || extension == ".NTX";
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

XBobjIndexFile& XBO_dBHandler::AdoptIndexFile(std::unique_ptr<XBobjIndexFile> file) {
  auto slot = std::find(slots_.begin(), slots_.end(), nullptr);
  if (slot == slots_.end()) {
    throw EXbaseError("Table " + path() + " has " + std::to_string(kIndexSlots) +
                      " index files open; no more can be opened");
  }
  file->SetLockProtocol(lockProtocol());
  *slot = std::move(file);
  SetIndexFilesOpen(true);
  return **slot;
}

XBobjIndexFile* XBO_dBHandler::IndexSlot(int slot) const {
  if (slot < 1 || slot > kIndexSlots) return nullptr;
  return slots_[static_cast<std::size_t>(slot - 1)].get();
}

void XBO_dBHandler::OpenIndexFile(const std::string& indexPath) {
  for (XBobjIndexFile* open : OpenFiles()) {
    if (open->diskFile().path() == indexPath) return;
  }
  const std::string extension = std::string(platform::PathExtension(indexPath));
  if (!IsIndexExtension(extension)) Raise(kInvalidIndexCode, xb_sub::OwnText, indexPath);
  if (!machine().files().Exists(indexPath)) {
    Raise(xb_code::FileNotFound, xb_sub::OwnText, indexPath);
  }
  std::unique_ptr<XBobjIndexFile> file;
  try {
    file = MakeIndexFile(*this, indexPath, extension, readKey(),
                         XbIndexOpenMode{false, shared(), writable()});
  } catch (const EXbaseError& error) {
    if (error.code() != kInvalidIndexCode) throw;
    Raise(kInvalidIndexCode, xb_sub::OwnText, error.what());
  }
  AdoptIndexFile(std::move(file));
}

void XBO_dBHandler::OpenIndexes(std::string_view list, std::string_view tagName) {
  CloseIndexes();
  const std::string folder(platform::PathFolder(path()));
  for (const std::string& name : XbIndexListNames(list)) {
    OpenIndexFile(XbIndexFilePath(machine().codePages(), folder, name));
  }
  SelectOrder(tagName, true);
}

void XBO_dBHandler::CloseIndexes() {
  currentTag_ = nullptr;
  tagBehind_ = false;
  currentTagName_.clear();
  // Every file is closed even when one cannot write the changes it held; the first such
  // failure is raised afterwards.
  std::exception_ptr failure;
  for (auto& slot : slots_) {
    try {
      if (slot) slot->WriteDeferred();
    } catch (const std::exception&) {
      if (!failure) failure = std::current_exception();
    }
    slot.reset();
  }
  if (isOpen()) SetIndexFilesOpen(false);
  if (failure) std::rethrow_exception(failure);
}

XBobjIndexTag* XBO_dBHandler::FindTag(std::string_view name) const {
  for (XBobjIndexFile* file : OpenFiles()) {
    if (XBobjIndexTag* tag = file->TagByName(name)) return tag;
  }
  return nullptr;
}

XBobjIndexTag* XBO_dBHandler::TagByNumber(int n) const {
  if (n < 1) return nullptr;
  for (XBobjIndexFile* file : OpenFiles()) {
    if (n <= file->TagCount()) return file->TagByIndex(n - 1);
    n -= file->TagCount();
  }
  return nullptr;
}

void XBO_dBHandler::SelectOrder(std::string_view tagName, bool keepPosition) {
  const std::string name = machine().codePages().Upper(Trimmed(tagName));
  if (name.empty()) {
    currentTag_ = nullptr;
    tagBehind_ = false;
    currentTagName_.clear();
    SetReadAhead(true);
    if (!keepPosition) GoRecord(xb_move::First);
    return;
  }
  XBobjIndexTag* tag = FindTag(name);
  if (!tag) throw EXbaseError("Cannot find index tag " + name);
  SetReadAhead(false);
  currentTag_ = tag;
  tagBehind_ = false;
  currentTagName_ = name;
  if (keepPosition && position_ >= 1 && position_ <= recordCount()) {
    PlainRead(position_);
    if (SyncTag()) {
      outside_ = false;
      return;
    }
  }
  GoRecord(xb_move::First);
}

XBobjIndexFile& XBO_dBHandler::IndexFileForBuild(std::string_view file) {
  std::string name = Trimmed(file);
  if (name.empty()) name = XbProductionIndexPath(path());
  if (platform::PathExtension(name).empty()) name += ".CDX";
  const std::string indexPath =
      XbIndexFilePath(machine().codePages(), std::string(platform::PathFolder(path())), name);
  for (XBobjIndexFile* open : OpenFiles()) {
    if (open->diskFile().path() == indexPath) return *open;
  }
  const std::string extension = std::string(platform::PathExtension(indexPath));
  if (!IsIndexExtension(extension)) Raise(kInvalidIndexCode, xb_sub::OwnText, indexPath);
  return AdoptIndexFile(MakeIndexFile(*this, indexPath, extension, readKey(),
                                      XbIndexOpenMode{true, shared(), writable()}));
}

void XBO_dBHandler::CreateIndexTag(std::string_view file, std::string_view tagName,
                                   std::string_view keyExpr, std::string_view forExpr,
                                   bool duplicates, int option) {
  XbTagDefinition definition;
  definition.name = Trimmed(tagName);
  definition.keyExpression = std::string(keyExpr);
  definition.forExpression = std::string(forExpr);
  definition.unique = !duplicates;
  definition.general = option == 7 || option == 8;
  definition.ascending = option == 0 || option == 7;
  const XbWorkStateScope building(workState_, xb_work::Building, xb_work::Browsing);
  XBobjIndexFile& target = IndexFileForBuild(file);
  const std::string current = currentTagName_;
  currentTag_ = nullptr;
  tagBehind_ = false;
  target.AddTag(definition);
  // The build replaced the tag objects: the order is looked up again.
  if (!current.empty()) currentTag_ = FindTag(current);
  if (!currentTag_) currentTagName_.clear();
}

}  // namespace tables
