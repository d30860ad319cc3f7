#include "tables/index/cdx_file.hpp"

#include <algorithm>

#include "platform/path_parts.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_layout.hpp"
#include "tables/index/sort_cdx.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kVersionOffset = 8;
constexpr std::uint8_t kDirectoryOptions =
    cdx_option::Compact | cdx_option::Compound | cdx_option::Directory;
constexpr const char* kExtension = "CDX";

std::string_view WithoutExtension(std::string_view path) {
  return path.substr(0, path.size() - platform::PathExtension(path).size());
}

// The file name as the engine opens it: trimmed, upper case, with extension and folder.
std::string IndexFileName(XBO_dBaseFld& table, std::string_view name) {
  const auto first = name.find_first_not_of(' ');
  name = first == std::string_view::npos
             ? std::string_view()
             : name.substr(first, name.find_last_not_of(' ') - first + 1);
  std::string result = table.machine().codePages().Upper(name);
  if (platform::PathExtension(result).empty()) result = XbWithExtension(result, kExtension);
  if (platform::PathFolder(result).empty()) {
    result = platform::PathJoin(platform::PathFolder(table.path()), result);
  }
  return result;
}

}  // namespace

std::string XbProductionIndexPath(std::string_view tablePath) {
  return XbWithExtension(tablePath, kExtension);
}

XBobjCDXFile::XBobjCDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
                           XbIndexOpenMode mode)
    : XBobjIndexFile(table, std::move(cipherKey)) {
  Open(name, mode);
}

XBobjCDXFile::~XBobjCDXFile() = default;

void XBobjCDXFile::Open(std::string_view name, XbIndexOpenMode mode) {
  const std::string path = IndexFileName(table(), name);
  if (!table().machine().files().Exists(path)) {
    if (!mode.create) ReportError(xb_code::FileNotFound, xb_sub::OwnText, path);
    file_.Create(path, mode.shared, true);
    WriteNewLayout();
  } else {
    file_.Open(path, mode.shared, mode.writable);
  }
  if (file_.FileSize() <= kCdxPageSize) {
    // Laid out anew only by a writer that has the file to itself.
    if (!file_.writable() || file_.shared()) {
      throw EXbaseError(path + ": not a valid compound index file: it holds only " +
                            std::to_string(file_.FileSize()) + " bytes",
                        kInvalidIndexCode);
    }
    WriteNewLayout();
  }
  try {
    ReadDirectory();
  } catch (const std::exception&) {
    XbRaiseInvalidIndexFile(path, "compound");
  }
  if (file_.writable()) SetProductionFlag();
}

void XBobjCDXFile::WriteNewLayout() {
  CdxTagHeader header;
  header.root = kCdxDirectoryRoot;
  header.keyLength = kCdxDirectoryKeyLength;
  header.options = kDirectoryOptions;
  std::uint8_t bytes[kCdxHeaderSize];
  CdxWriteHeader(header, true, bytes);
  WriteBlock(0, bytes, kCdxHeaderSize);
  const CdxKeyForm form{kCdxDirectoryKeyLength, true, false};
  CdxLeafWriter(form, CdxLeafLayoutFor(kCdxDirectoryKeyLength, 0))
      .Write(bytes, cdx_attribute::Leaf | cdx_attribute::Root, kNoPage, kNoPage);
  WriteBlock(kCdxDirectoryRoot, bytes, kCdxPageSize);
  ResetNextPage();
}

void XBobjCDXFile::ReadDirectory() {
  tags_.clear();
  directory_ = std::make_unique<XBobjCDXTag>(*this);
  version_ = directory_->header().version;
  const std::uint64_t size = FileSize();
  directory_->Move(xb_move::First);
  for (const XBobjIndexKeyData* entry = directory_->current(); entry;
       directory_->Move(xb_move::Next), entry = directory_->current()) {
    const auto offset = static_cast<std::uint32_t>(entry->record);
    if (offset < kCdxHeaderSize || offset % kCdxPageSize != 0 ||
        offset + std::uint64_t{kCdxHeaderSize} > size) {
      throw CdxLayoutError("the header of tag " + entry->key + " at offset " +
                           std::to_string(offset) + " is not inside the file");
    }
    if (TagPosition(entry->key) >= 0) {
      throw CdxLayoutError("the directory names tag " + entry->key + " twice");
    }
    const std::string name = entry->key;
    try {
      tags_.push_back(std::make_unique<XBobjCDXTag>(*this, name, offset));
    } catch (const EXbaseError& error) {
      if (XbIsDiskFailure(error)) throw;
      throw CdxLayoutError("tag " + name + ": " + error.what());
    } catch (const std::exception& error) {
      throw CdxLayoutError("tag " + name + ": " + error.what());
    }
  }
}

bool XBobjCDXFile::HasChanged() {
  if (!file_.shared()) return false;
  std::uint8_t bytes[kCdxPageSize];
  ReadBlock(0, bytes, kCdxPageSize);
  return static_cast<std::int32_t>(ReadLE32(bytes + kVersionOffset)) != version_;
}

bool XBobjCDXFile::IsProductionIndex() const {
  return WithoutExtension(file_.path()) == WithoutExtension(table().path());
}

void XBobjCDXFile::SetProductionFlag() {
  if (IsProductionIndex() && table().writable() &&
      (table().tableFlags() & xb_header::ProductionIndexFlag) == 0) {
    table().SetProductionIndexFlag();
  }
}

}  // namespace tables

namespace tables {
namespace {

XBobjCDXTag& CdxTagOf(XBobjIndexTag& tag) {
  return static_cast<XBobjCDXTag&>(tag);
}

// The index lock held while the file is changed.
class IndexLock {
 public:
  explicit IndexLock(XBobjIndexFile& file) : file_(file) { file_.Lock(); }
  ~IndexLock() { file_.Unlock(); }
  IndexLock(const IndexLock&) = delete;
  IndexLock& operator=(const IndexLock&) = delete;

 private:
  XBobjIndexFile& file_;
};

}  // namespace

void XBobjCDXFile::RequireWritable(std::string_view what) const {
  if (!file_.writable()) {
    throw EXbaseError(path() + ": " + std::string(what) + " needs the index file opened writable",
                      xb_code::AccessDenied);
  }
}

void XBobjCDXFile::SortTags() {
  std::stable_sort(tags_.begin(), tags_.end(), [](const auto& left, const auto& right) {
    return CdxCompareKeys(left->name(), right->name()) < 0;
  });
}

void XBobjCDXFile::WriteDirectory() {
  const CdxKeyForm form{kCdxDirectoryKeyLength, true, false};
  CdxTagHeader header = directory_->header();
  CdxLeafWriter leaf(
      form, CdxLeafLayoutFor(kCdxDirectoryKeyLength, static_cast<std::uint32_t>(FileSize())));
  bool fits = true;
  for (const auto& tag : tags_) {
    if (leaf.SizeOf(tag->name()) > leaf.freeBytes()) fits = false;
    if (!fits) break;
    leaf.Append(tag->name(), static_cast<std::int32_t>(CdxTagOf(*tag).headerOffset()));
  }
  if (fits) {
    std::uint8_t bytes[kCdxPageSize];
    leaf.Write(bytes, cdx_attribute::Leaf | cdx_attribute::Root, kNoPage, kNoPage);
    WriteBlock(header.root, bytes, kCdxPageSize);
  } else {
    XBobjSortCDX sort(*this, form, false, static_cast<std::uint32_t>(FileSize()));
    for (const auto& tag : tags_) {
      sort.AddKey(tag->name(), static_cast<std::int32_t>(CdxTagOf(*tag).headerOffset()));
    }
    header.root = sort.WriteTree();
  }
  directory_->WriteHeader(header.root);
}

void XBobjCDXFile::AddTag(const XbTagDefinition& requested) {
  RequireWritable("adding a tag");
  const IndexLock lock(*this);
  XbTagDefinition definition = requested;
  definition.name = table().machine().codePages().Upper(definition.name);
  const std::uint64_t sizeBefore = FileSize();
  ResetNextPage();
  std::unique_ptr<XBobjCDXTag> tag;
  try {
    tag = XBobjCDXTag::Define(*this, definition);
    const std::uint32_t header = AllocatePage();
    AllocatePage();
    tag->MoveHeader(header);
    tag->Build();
  } catch (...) {
    ResetNextPage();
    if (FileSize() != sizeBefore && (!file_.shared() || file_.holdsWholeFileLock())) {
      file_.TruncateAt(sizeBefore);
      ForgetPages();
    }
    throw;
  }
  const int old = TagPosition(definition.name);
  if (old >= 0) tags_.erase(tags_.begin() + old);
  tags_.push_back(std::move(tag));
  SortTags();
  WriteDirectory();
}

bool XBobjCDXFile::DropTag(std::string_view name) {
  RequireWritable("dropping a tag");
  {
    const IndexLock lock(*this);
    const int position = TagPosition(table().machine().codePages().Upper(name));
    if (position < 0) return false;
    tags_.erase(tags_.begin() + position);
    if (!tags_.empty()) {
      WriteDirectory();
      return true;
    }
  }
  // Rebuild takes the whole-file lock, which the index lock would keep out.
  Rebuild();
  return true;
}

void XBobjCDXFile::Rebuild() {
  RequireWritable("rebuilding");
  if (file_.shared() && !file_.LockFile()) {
    throw EXbaseError("Error " + std::to_string(file_.LastError()) + " in Lock of " + path());
  }
  struct WholeFileLockRelease {
    XBO_DiskFile& file;
    ~WholeFileLockRelease() {
      if (file.shared() && file.lockCount() > 0) file.Unlock();
    }
  } release{file_};
  WriteDeferred();
  file_.TruncateAt(kCdxNewFileSize);
  ForgetPages();
  version_ = 0;
  WriteNewLayout();
  directory_->ReloadHeader();
  // Every definition goes in first, each tag with an empty root, then the trees.
  for (auto& tag : tags_) {
    XBobjCDXTag& cdx = CdxTagOf(*tag);
    const std::uint32_t header = AllocatePage();
    AllocatePage();
    cdx.MoveHeader(header);
  }
  for (auto& tag : tags_) {
    XBobjSortCDX empty(*this, CdxTagOf(*tag).keyForm(), false, 0);
    CdxTagOf(*tag).WriteHeader(empty.WriteTree());
  }
  WriteDirectory();
  for (auto& tag : tags_)
    CdxTagOf(*tag).Build();
}

}  // namespace tables
