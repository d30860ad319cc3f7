#include "tables/index/sort_cdx.hpp"

#include <utility>

#include "tables/index/index_file.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxLevels = 32;

}  // namespace

XBobjSortCDX::XBobjSortCDX(XBobjIndexFile& file, const CdxKeyForm& form, bool unique,
                           std::uint32_t highestRecord)
    : TxbSort(form.keyLength + 1, true, unique),
      file_(file),
      pages_(file),
      form_(form),
      layout_(CdxLeafLayoutFor(form.keyLength, highestRecord)) {}

void XBobjSortCDX::AddKey(std::string_view key, std::int32_t record) {
  AddBytes(key.substr(0, static_cast<std::size_t>(form_.keyLength)), record);
}

std::uint32_t XBobjSortCDX::WriteTree() {
  std::string current;
  std::int32_t currentRecord = 0;
  if (!NextBytes(current, currentRecord)) {
    const std::uint32_t page = file_.AllocatePage();
    std::uint8_t bytes[kCdxPageSize];
    CdxLeafWriter(form_, CdxLeafLayoutFor(form_.keyLength, 0))
        .Write(bytes, cdx_attribute::Leaf | cdx_attribute::Root, kNoPage, kNoPage);
    file_.WriteBlock(page, bytes, kCdxPageSize);
    return page;
  }
  const bool reportSteps = file_.HasStatusHandler();
  std::int64_t ordinal = 0;
  std::string following;
  std::int32_t followingRecord = 0;
  for (bool more = true; more;) {
    more = NextBytes(following, followingRecord);
    AddEntry(0, current, currentRecord, 0, !more);
    ++ordinal;
    if (reportSteps) file_.StatusReport({2, XbBuildStatus::Event::Step, ordinal});
    std::swap(current, following);
    currentRecord = followingRecord;
  }
  return Finish();
}

bool XBobjSortCDX::Full(const Level& level) const {
  if (level.leaf) return level.leaf->freeBytes() < 2 * (layout_.entryBytes + form_.keyLength);
  return static_cast<int>(level.entries.size()) >= form_.InteriorCapacity();
}

void XBobjSortCDX::AddEntry(std::size_t index, const std::string& key, std::int32_t record,
                            std::uint32_t child, bool lastKey) {
  if (index == kMaxLevels) throw EXbaseError("An index tree cannot grow beyond 32 levels");
  if (index == levels_.size()) {
    levels_.emplace_back();
    levels_.back().page = file_.AllocatePage();
    if (index == 0) levels_.back().leaf.emplace(form_, layout_);
  }
  Level& level = levels_[index];
  if (level.leaf) {
    level.leaf->Append(key, record);
  } else {
    level.entries.push_back({key, record, child});
  }
  level.lastRecord = record;
  // The last key is wanted only to pass up from a full node or at the end.
  const bool full = Full(level);
  if (full || lastKey) level.lastKey = key;
  if (!full) return;
  const std::uint32_t page = level.page;
  const std::uint32_t next = lastKey ? kNoPage : file_.AllocatePage();
  WriteLevel(index, index == 0 ? cdx_attribute::Leaf : cdx_attribute::Interior, next);
  const std::string last = std::move(levels_[index].lastKey);
  const std::int32_t lastRecord = levels_[index].lastRecord;
  Level& emptied = levels_[index];
  emptied.left = page;
  emptied.page = next;
  if (emptied.leaf) emptied.leaf->Clear();
  emptied.entries.clear();
  AddEntry(index + 1, last, lastRecord, page, lastKey);
}

void XBobjSortCDX::WriteLevel(std::size_t index, std::uint16_t attribute, std::uint32_t right) {
  Level& level = levels_[index];
  std::uint8_t bytes[kCdxPageSize];
  if (level.leaf) {
    level.leaf->Write(bytes, attribute, level.left, right);
  } else {
    CdxWriteInterior(form_, level.entries, bytes, attribute, level.left, right);
  }
  pages_.Write(level.page, bytes);
}

std::uint32_t XBobjSortCDX::Finish() {
  for (std::size_t index = 0; index < levels_.size(); ++index) {
    if (levels_[index].empty()) continue;
    const bool top = index + 1 == levels_.size();
    const std::uint16_t kind = index == 0 ? cdx_attribute::Leaf : cdx_attribute::Interior;
    if (top) {
      WriteLevel(index, kind | cdx_attribute::Root, kNoPage);
      pages_.Flush();
      return levels_[index].page;
    }
    WriteLevel(index, kind, kNoPage);
    const Level& level = levels_[index];
    AddEntry(index + 1, level.lastKey, level.lastRecord, level.page, true);
  }
  throw EXbaseError("An index tree was written without a root");
}

}  // namespace tables
