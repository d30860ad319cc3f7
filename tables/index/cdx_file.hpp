#pragma once
// XBobjCDXFile: one open compound index file: its tag directory (itself an index of tag names
// and header offsets), its tags in directory order, its version counter, and the building,
// dropping and rebuilding of tags.
//
//   XBobjCDXFile index(table, "KVUS.CDX", key, {.create = false, .shared = true});
//   XBobjIndexTag* tag = index.TagByName("USERNAME");
//   for (auto n = tag->Move(xb_move::First); n != 0; n = tag->Move(xb_move::Next)) use(n);
//
// Opening a damaged file raises EXbaseError with code 2112 and the reason; a page found
// damaged later raises code 2112 naming the tag and the page. A file opened read-only or
// shared is never written by opening it.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "tables/index/cdx_tag.hpp"
#include "tables/index/index_file.hpp"

namespace tables {

class XBobjCDXFile : public XBobjIndexFile {
 public:
  // name: trimmed, upper-cased, given ".CDX" without an extension and the table's folder
  // without one. A missing file is created only with mode.create (else error 2); a file of
  // 512 bytes or less is laid out as a new compound file when writable (else error 2112).
  XBobjCDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
               XbIndexOpenMode mode);
  ~XBobjCDXFile() override;

  // Builds the tag from every record of the table and enters it in the directory, replacing a
  // tag of the same name (compared exactly, without regard to case) once the new one is
  // built. A definition that cannot be built raises before anything is written.
  void AddTag(const XbTagDefinition& definition) override;
  // Removes the tag of that name (compared as AddTag does) from the directory; the last
  // tag's removal rebuilds the file to its bare layout. False when there is no such tag.
  bool DropTag(std::string_view name) override;
  // Rewrites the file with every tag built afresh on dense pages, versions reset to 0, under
  // the whole-file lock. The tag definitions are written first, so a build that fails leaves
  // every tag defined (those not yet built empty).
  void Rebuild() override;
  // True when the directory version in the file differs from the one read (never when the
  // file is open exclusively).
  bool HasChanged() override;
  // The tags' keys of record; previousImage is the stored record as recordImage() would hold
  // it after reading it (deciphered), nullptr for an appended record.
  XbRecordChange PrepareRecordChange(std::int32_t record,
                                     const std::uint8_t* previousImage) override;
  // Needs the file writable and, when shared, locked (Lock): the next free page is taken from
  // the file size and the version from the file, so that writers sharing it never hand out a
  // page twice. An error raised part way leaves the tags as far as they were written.
  bool ApplyRecordChange(const XbRecordChange& change) override;
  // The version the tags' trees are at: the one in the file when shared, else the one held.
  std::int32_t TreeVersion();

  XBobjCDXTag& directory() { return *directory_; }
  XBobjCDXTag* CdxTag(int i) const { return static_cast<XBobjCDXTag*>(TagByIndex(i)); }
  XBobjCDXTag* CdxTagByName(std::string_view name) const {
    return static_cast<XBobjCDXTag*>(TagByName(name));
  }
  std::int32_t version() const { return version_; }
  const std::string& path() const { return file_.path(); }
  // Whether the file is its table's production index (same path up to the extension).
  bool IsProductionIndex() const;

 private:
  void Open(std::string_view name, XbIndexOpenMode mode);
  void WriteNewLayout();
  void ReadDirectory();
  void SetProductionFlag();
  void RequireWritable(std::string_view what) const;
  // Writes the directory afresh: the tags' names and header offsets in name order.
  void WriteDirectory();
  void SortTags();
  std::int32_t StoredVersion();
  bool ApplyToTag(XBobjCDXTag& tag, const XbTagKeyChange& change, std::int32_t record,
                  std::uint32_t highestRecord);

  std::unique_ptr<XBobjCDXTag> directory_;
  std::int32_t version_ = 0;
};

// The compound file a table opens as its production index: its path with ".CDX".
std::string XbProductionIndexPath(std::string_view tablePath);

}  // namespace tables
