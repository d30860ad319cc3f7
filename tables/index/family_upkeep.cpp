#include "tables/index/family_upkeep.hpp"

#include "tables/index/record_scan.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

XBobjFamilyTag& FamilyTag(XBobjIndexFile& file, std::size_t i) {
  return dynamic_cast<XBobjFamilyTag&>(*file.TagByIndex(static_cast<int>(i)));
}

// Whether the record gets an entry in tag, and its key.
bool EvaluateEntry(XBobjFamilyTag& tag, std::int32_t record, std::string& key) {
  if (!tag.EvaluateFor()) return false;
  if (!tag.EvaluateKey(key)) {
    throw EXbaseError("Record " + std::to_string(record) + ": the key expression " +
                      tag.facts().keyExpression + " of tag " + tag.name() + " gives no key");
  }
  return true;
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
    keys.newIn = EvaluateEntry(FamilyTag(file, i), record, keys.newKey);
  }
  if (previousImage) {
    const XbStoredImageInPlace stored(file.table(), previousImage);
    for (std::size_t i = 0; i < change.tags.size(); ++i) {
      XbTagKeyChange& keys = change.tags[i];
      keys.oldIn = EvaluateEntry(FamilyTag(file, i), record, keys.oldKey);
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
  if (keys.oldIn && keys.newIn && keys.oldKey == keys.newKey) {
    return !editor.Holds(keys.newKey, record) && editor.Insert(keys.newKey, record);
  }
  const bool removed = keys.oldIn && editor.Remove(keys.oldKey, record);
  const bool inserted = keys.newIn && editor.Insert(keys.newKey, record);
  if (removed && tag.unique()) {
    // The key this record held may be another record's too, left out while this one had it.
    const XbEntryKey entryKey = [&tag](std::int32_t n, std::string& key) {
      return EvaluateEntry(tag, n, key);
    };
    if (const std::int32_t heir =
            XbRecordHolding(tag.file().table(), entryKey, keys.oldKey, record);
        heir != 0) {
      editor.Insert(keys.oldKey, heir);
    }
  }
  return removed || inserted;
}

}  // namespace tables
