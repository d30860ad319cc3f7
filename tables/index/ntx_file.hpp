#pragma once
// XBobjNTXFile: an open Clipper single index file (".NTX"): one tag, named after the file,
// whose header is the first 1024-byte page; a version counter in the header tells other
// programs' changes. Creating the tag (AddTag) writes the whole file anew; Rebuild does the
// same with the tag's own definition.
//
// A file that is not a valid NTX raises EXbaseError 2112 with the reason; a page found
// damaged later raises 2112 naming it.
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/index/index_file.hpp"
#include "tables/index/ntx_tag.hpp"

namespace tables {

class XBobjNTXFile : public XBobjIndexFile {
 public:
  // name: as for compound files, with ".NTX" when it has no extension. A missing file is
  // created empty (without a tag until AddTag) only with mode.create, else error 2.
  XBobjNTXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
               XbIndexOpenMode mode);

  // Writes the file anew with the tag defined (GENERAL collation refused). Numeric keys take
  // the display width and decimals of the expression's result.
  void AddTag(const XbTagDefinition& definition) override;
  // Raises: a single index file holds its one tag until it is deleted.
  bool DropTag(std::string_view name) override;
  void Rebuild() override;
  // True when the version counter in the file differs from the one this program last read
  // with the tree or wrote with a change (never when the file is open exclusively).
  bool HasChanged() override;
  // 1024-byte pages from the end of the file.
  std::uint32_t AllocatePage() override;
  void ResetNextPage() override;
  // The tag's keys of the record's new image and of previousImage (nullptr for an append).
  XbRecordChange PrepareRecordChange(std::int32_t record,
                                     const std::uint8_t* previousImage) override;
  // Advances the version counter (32767 is followed by 1) and writes the header, then moves
  // the tag's entries; every page changed is written before it returns. A shared file must
  // be locked; its header is read again first, as another program may have changed it.
  bool ApplyRecordChange(const XbRecordChange& change) override;

  XBobjNTXTag* NtxTag() const { return static_cast<XBobjNTXTag*>(TagByIndex(0)); }
  const std::string& path() const { return file_.path(); }
  std::uint16_t version() const { return header_.version; }

 private:
  void ReadHeader();
  void WriteTag(const NtxHeader& header, XbKeyType keyType);
  // Reads the header page again (under the lock) and writes it with the next version.
  void AdvanceVersion();
  bool ApplyToTag(const XbTagKeyChange& keys, std::int32_t record);

  NtxHeader header_;
  std::uint64_t nextPage_ = 0;
};

}  // namespace tables
