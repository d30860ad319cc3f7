#pragma once
// XBobjMDXFile: an open dBase IV multiple index file (".MDX"): its 2048-byte header with up to
// 48 tag slots, its tags in slot order, and the adding, dropping and rebuilding of tags. New
// blocks are taken at the file's next-free block; the blocks of a dropped or replaced tag are
// regained only by Rebuild. The table's production index is the table's name with ".MDX",
// flagged in the table header.
//
// A file that is not a valid MDX raises EXbaseError 2112 with the reason; a block found
// damaged later raises 2112 naming the tag and the block.
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/index/index_file.hpp"
#include "tables/index/mdx_tag.hpp"

namespace tables {

class XBobjMDXFile : public XBobjIndexFile {
 public:
  // name: as for compound files, with ".MDX" when it has no extension. A missing file is
  // created (a header without tags) only with mode.create, else error 2.
  XBobjMDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
               XbIndexOpenMode mode);

  // Builds the tag from every record and enters it in a slot, replacing a tag of the same name
  // once the new one is built. Names of 1 to 10 characters; GENERAL collation refused.
  void AddTag(const XbTagDefinition& definition) override;
  // Frees the tag's slot (later slots move up); false when there is no such tag.
  bool DropTag(std::string_view name) override;
  // Rewrites the file with every tag built afresh on dense blocks.
  void Rebuild() override;
  // True when the file header differs from the one read (never when open exclusively).
  bool HasChanged() override;
  XbRecordChange PrepareRecordChange(std::int32_t record,
                                     const std::uint8_t* previousImage) override;
  // New blocks are taken at the header's next free block, kept current (never below the
  // file's size), and the date of the last update is stamped.
  bool ApplyRecordChange(const XbRecordChange& change) override;

  XBobjMDXTag* MdxTag(int i) const { return static_cast<XBobjMDXTag*>(TagByIndex(i)); }
  const std::string& path() const { return file_.path(); }
  const MdxFileHeader& header() const { return header_; }
  bool IsProductionIndex() const;

 private:
  void ReadHeader();
  // Takes the next free block of the header in the file, which another writer may have moved on.
  void ReloadNextFree();
  // Before blocks are taken under the lock: the next free block as the file has it, and never
  // below the file's size.
  void CatchUpNextFree();
  void WriteHeader();
  // Dates the header's last update today.
  void StampUpdate();
  void WriteNewHeader();
  std::uint32_t AllocateBlock();
  void BuildTag(XBobjMDXTag& tag);
  // Writes the slots of the tags in list order into the file header.
  void SyncSlots();
  void RequireWritable(std::string_view what) const;
  void SetProductionFlag();

  MdxFileHeader header_;
};

// The multiple index file a table opens as its production index: its path with ".MDX".
std::string XbProductionMdxPath(std::string_view tablePath);

}  // namespace tables
