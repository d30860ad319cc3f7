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
  // True when the version counter in the file differs from the one read (never when the file
  // is open exclusively).
  bool HasChanged() override;

  XBobjNTXTag* NtxTag() const { return static_cast<XBobjNTXTag*>(TagByIndex(0)); }
  const std::string& path() const { return file_.path(); }
  std::uint16_t version() const { return header_.version; }

 private:
  void ReadHeader();
  void WriteTag(const NtxHeader& header, XbKeyType keyType);

  NtxHeader header_;
};

}  // namespace tables
