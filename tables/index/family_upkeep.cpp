#include "tables/index/family_upkeep.hpp"

#include "tables/index/record_scan.hpp"
#include "tables/index/tag_key_change.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

XBobjFamilyTag& FamilyTag(XBobjIndexFile& file, std::size_t i) {
  return dynamic_cast<XBobjFamilyTag&>(*file.TagByIndex(static_cast<int>(i)));
}

}  // namespace

XbRecordChange XbPrepareFamilyChange(XBobjIndexFile& file, std::int32_t record,
                                     const std::uint8_t* previousImage) {
  XbRecordChange change;
  change.record = record;
  change.append = previousImage == nullptr;
  change.tags.resize(static_cast<std::size_t>(file.TagCount()));
  for (std::size_t i = 0; i < change.tags.size(); ++i) {
    XbTagKeyChange& keys = change.tags[i];
    keys.newIn = XbEvaluateEntry(FamilyTag(file, i), record, keys.newKey);
  }
  if (previousImage) {
    const XbStoredImageInPlace stored(file.table(), previousImage);
    for (std::size_t i = 0; i < change.tags.size(); ++i) {
      XbTagKeyChange& keys = change.tags[i];
      keys.oldIn = XbEvaluateEntry(FamilyTag(file, i), record, keys.oldKey);
    }
  }
  return change;
}

void XbCheckFamilyChange(XBobjIndexFile& file, const XbRecordChange& change) {
  XBO_DiskFile& disk = file.diskFile();
  if (!disk.writable()) {
    throw EXbaseError(
        disk.path() + ": keeping the tags current needs the index file opened writable",
        xb_code::AccessDenied);
  }
  if (change.tags.size() != static_cast<std::size_t>(file.TagCount())) {
    throw EXbaseError(disk.path() + ": a record change prepared for " +
                      std::to_string(change.tags.size()) + " tags given to a file of " +
                      std::to_string(file.TagCount()));
  }
  if (change.record < 1) {
    throw EXbaseError(disk.path() + ": record number " + std::to_string(change.record) +
                      " cannot be entered in its tags");
  }
  if (disk.shared() && disk.lockCount() == 0) {
    throw EXbaseError(disk.path() + ": keeping the tags current needs the index lock");
  }
}

bool XbApplyFamilyTagChange(XBobjFamilyTag& tag, XbFamilyNodeFormat& format,
                            const XbTagKeyChange& keys, std::int32_t record) {
  // A path the tag holds is found again before its next step, even after an edit that failed
  // part way.
  tag.NoteTreeChanged();
  XbFamilyTreeEditor editor(tag, format);
  return XbApplyTagKeyChange(
      editor, tag, tag.file().table(), keys, record,
      [&tag](std::int32_t n, std::string& key) { return XbEvaluateEntry(tag, n, key); });
}

}  // namespace tables
