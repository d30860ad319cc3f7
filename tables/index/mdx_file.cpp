#include "tables/index/mdx_file.hpp"

#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/path_parts.hpp"
#include "tables/index/index_path.hpp"
#include "tables/index/mdx_key.hpp"
#include "tables/index/single_index_build.hpp"
#include "tables/index/sort_mdx.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/table_names.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr int kComparedHeaderBytes = 48;

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

std::string_view WithoutExtension(std::string_view path) {
  return path.substr(0, path.size() - platform::PathExtension(path).size());
}

void StampToday(XBO_dBaseFld& table, std::uint8_t* date) {
  const CalendarDate today = XbDate().Split(XbDate().Today(table.machine()));
  date[0] = static_cast<std::uint8_t>(today.year % 100);
  date[1] = static_cast<std::uint8_t>(today.month);
  date[2] = static_cast<std::uint8_t>(today.day);
}

// The slot's key type letter and length of a new tag's key.
std::pair<char, int> KeyFormOf(const XBobjFamilyTag::ExpressionKey& learned) {
  switch (learned.type) {
    case XbKeyType::Numeric:
      return {'N', kMdxNumericKeyLength};
    case XbKeyType::Date:
      return {'D', kMdxDateKeyLength};
    case XbKeyType::Logical:
      return {'C', 1};
    default:
      return {'C', learned.textLength};
  }
}

}  // namespace

std::string XbProductionMdxPath(std::string_view tablePath) {
  return XbWithExtension(tablePath, "MDX");
}

XBobjMDXFile::XBobjMDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
                           XbIndexOpenMode mode)
    : XBobjIndexFile(table, std::move(cipherKey)) {
  XbOpenSingleIndexFile(*this, XbIndexFilePath(table, name, "MDX"), mode);
  if (FileSize() == 0 && file_.writable()) WriteNewHeader();
  ReadHeader();
  if (file_.writable()) SetProductionFlag();
}

void XBobjMDXFile::RequireWritable(std::string_view what) const {
  if (!file_.writable()) {
    throw EXbaseError(path() + ": " + std::string(what) + " needs the index file opened writable",
                      xb_code::AccessDenied);
  }
}

bool XBobjMDXFile::IsProductionIndex() const {
  return WithoutExtension(file_.path()) == WithoutExtension(table().path());
}

void XBobjMDXFile::SetProductionFlag() {
  if (IsProductionIndex() && table().writable() &&
      (table().tableFlags() & xb_header::ProductionIndexFlag) == 0) {
    table().SetProductionIndexFlag();
  }
}

void XBobjMDXFile::WriteNewHeader() {
  header_ = MdxFileHeader();
  StampToday(table(), header_.created);
  std::copy(header_.created, header_.created + 3, header_.updated);
  header_.tableName = std::string(platform::PathStem(table().path()));
  header_.production = IsProductionIndex();
  WriteHeader();
}

void XBobjMDXFile::WriteHeader() {
  std::uint8_t bytes[kMdxFileHeaderSize];
  MdxWriteFileHeader(header_, bytes);
  WriteBlock(0, bytes, kMdxFileHeaderSize);
}

void XBobjMDXFile::ReadHeader() {
  const std::string& path = file_.path();
  try {
    std::uint8_t bytes[kMdxFileHeaderSize];
    if (!TryReadBlock(0, bytes, kMdxFileHeaderSize)) {
      throw MdxLayoutError("it holds only " + std::to_string(FileSize()) + " bytes");
    }
    header_ = MdxReadFileHeader(bytes, FileSize());
    tags_.clear();
    std::vector<std::uint8_t> block(static_cast<std::size_t>(header_.blockLength));
    for (const MdxTagSlot& slot : header_.tags) {
      if (TagPosition(slot.name) >= 0) throw MdxLayoutError("tag " + slot.name + " is named twice");
      ReadBlock(slot.headerUnit * kMdxUnit, block.data(),
                static_cast<std::uint32_t>(header_.blockLength));
      try {
        const MdxTagHeader tagHeader = MdxReadTagHeader(block.data(), header_.blockLength);
        if (std::uint64_t{tagHeader.rootUnit} * kMdxUnit + header_.blockLength > FileSize() ||
            tagHeader.rootUnit < kMdxFileHeaderSize / kMdxUnit) {
          throw MdxLayoutError("the root block is not inside the file");
        }
        tags_.push_back(std::make_unique<XBobjMDXTag>(*this, slot.name, slot.headerUnit, tagHeader,
                                                      header_.blockLength));
      } catch (const EXbaseError& error) {
        if (XbIsDiskFailure(error)) throw;
        throw MdxLayoutError("tag " + slot.name + ": " + error.what());
      } catch (const std::exception& error) {
        throw MdxLayoutError("tag " + slot.name + ": " + error.what());
      }
    }
  } catch (const std::exception&) {
    XbRaiseInvalidIndexFile(path, "MDX");
  }
}

bool XBobjMDXFile::HasChanged() {
  if (!file_.shared()) return false;
  std::uint8_t stored[kMdxFileHeaderSize];
  std::uint8_t known[kMdxFileHeaderSize];
  ReadBlock(0, stored, kMdxFileHeaderSize);
  MdxWriteFileHeader(header_, known);
  return !std::equal(stored, stored + kComparedHeaderBytes, known);
}

std::uint32_t XBobjMDXFile::AllocateBlock() {
  const std::uint32_t unit = header_.nextFreeUnit;
  if (std::uint64_t{unit} * kMdxUnit + static_cast<std::uint64_t>(header_.blockLength) >
      0xFFFFFE00) {
    throw EXbaseError(path() + ": the index file cannot grow beyond 4 GB");
  }
  header_.nextFreeUnit += static_cast<std::uint32_t>(header_.unitsPerBlock);
  return unit;
}

void XBobjMDXFile::BuildTag(XBobjMDXTag& tag) {
  XBobjSortMDX sort(tag, header_.blockLength, [this] { return AllocateBlock(); });
  tag.ForEachRecordKey(
      [&](const std::string& key, std::int32_t record) { sort.AddKey(key, record); });
  tag.WriteHeader(sort.WriteTree());
}

void XBobjMDXFile::AddTag(const XbTagDefinition& requested) {
  RequireWritable("adding a tag");
  XbRefuseUnsupported(requested, "MDX", true);
  const std::string name = table().machine().codePages().Upper(requested.name);
  if (name.empty() || name.size() > static_cast<std::size_t>(kMdxMaxTagName)) {
    throw EXbaseError("Tag name \"" + requested.name + "\" is not 1 to 10 characters long");
  }
  const int old = TagPosition(name);
  if (old < 0 && TagCount() >= MdxUsableSlots(header_)) {
    throw EXbaseError(path() + ": every one of the " + std::to_string(MdxUsableSlots(header_)) +
                      " tag slots is taken");
  }
  const auto learned = XBobjFamilyTag::LearnExpressionKey(*this, requested.keyExpression);
  if (!learned) {
    throw EXbaseError("The key expression " + requested.keyExpression +
                      " gives no value that can be a key");
  }
  const auto [letter, length] = KeyFormOf(*learned);
  XbCheckKeyLength(length, kMdxMaxKeyLength);
  const MdxTagHeader definition =
      MdxTagHeaderFor(requested.keyExpression, requested.forExpression, letter, length,
                      requested.unique, !requested.ascending, header_.blockLength);
  const IndexLock lock(*this);
  CatchUpNextFree();
  const MdxFileHeader before = header_;
  const std::uint64_t sizeBefore = FileSize();
  try {
    auto tag = std::make_unique<XBobjMDXTag>(*this, name, 0, definition, header_.blockLength);
    tag->CheckForExpression();
    tag->MoveHeader(AllocateBlock());
    BuildTag(*tag);
    if (old >= 0) tags_.erase(tags_.begin() + old);
    tags_.push_back(std::move(tag));
  } catch (...) {
    header_ = before;
    if (FileSize() != sizeBefore && (!file_.shared() || file_.holdsWholeFileLock())) {
      file_.TruncateAt(sizeBefore);
      ForgetPages();
    }
    throw;
  }
  SyncSlots();
}

bool XBobjMDXFile::DropTag(std::string_view name) {
  RequireWritable("dropping a tag");
  const IndexLock lock(*this);
  const int position = TagPosition(table().machine().codePages().Upper(name));
  if (position < 0) return false;
  tags_.erase(tags_.begin() + position);
  SyncSlots();
  return true;
}

void XBobjMDXFile::SyncSlots() {
  header_.tags.clear();
  for (int i = 0; i < TagCount(); ++i) {
    const XBobjMDXTag& tag = *MdxTag(i);
    header_.tags.push_back({tag.headerUnit(), tag.name(), tag.header().keyType});
  }
  StampUpdate();
  WriteHeader();
}

void XBobjMDXFile::StampUpdate() {
  StampToday(table(), header_.updated);
}

void XBobjMDXFile::Rebuild() {
  RequireWritable("rebuilding");
  XbSingleIndexRewrite rewrite(*this, [this] { ForgetPages(); });
  rewrite.Start(kMdxFileHeaderSize);
  header_.nextFreeUnit = kMdxFileHeaderSize / kMdxUnit;
  for (int i = 0; i < TagCount(); ++i)
    MdxTag(i)->MoveHeader(AllocateBlock());
  for (int i = 0; i < TagCount(); ++i)
    BuildTag(*MdxTag(i));
  SyncSlots();
  rewrite.Done();
}

}  // namespace tables
