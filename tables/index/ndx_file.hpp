#pragma once
// XBobjNDXFile: an open dBase III single index file (".NDX"): one tag, named after the file,
// whose header is block 0. Creating the tag (AddTag) writes the whole file anew; Rebuild does
// the same with the tag's own definition.
//
//   XBobjNDXFile index(table, "NAMES.NDX", key, {.create = false, .shared = true});
//   XBobjIndexTag* tag = index.TagByIndex(0);
//
// A file that is not a valid NDX raises EXbaseError 2112 with the reason; a block found
// damaged later raises 2112 naming it.
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/index/index_file.hpp"
#include "tables/index/ndx_tag.hpp"

namespace tables {

class XBobjNDXFile : public XBobjIndexFile {
 public:
  // name: as for compound files, with ".NDX" when it has no extension. A missing file is
  // created empty (without a tag until AddTag) only with mode.create, else error 2.
  XBobjNDXFile(XBO_dBaseFld& table, std::string_view name, std::string cipherKey,
               XbIndexOpenMode mode);

  // Writes the file anew with the tag defined (the name is the file's; descending and
  // GENERAL definitions are refused: the format has neither).
  void AddTag(const XbTagDefinition& definition) override;
  // Raises: a single index file holds its one tag until it is deleted.
  bool DropTag(std::string_view name) override;
  void Rebuild() override;
  // True when the header in the file differs from the one read.
  bool HasChanged() override;
  XbRecordChange PrepareRecordChange(std::int32_t record,
                                     const std::uint8_t* previousImage) override;
  // New blocks are appended: the header's block count, kept current, but never below the
  // file's size (another writer may have appended under the lock).
  bool ApplyRecordChange(const XbRecordChange& change) override;

  XBobjNDXTag* NdxTag() const { return static_cast<XBobjNDXTag*>(TagByIndex(0)); }
  const std::string& path() const { return file_.path(); }

 private:
  void ReadHeader();
  // Takes the root and block count of the header in the file, which another writer may have
  // moved on.
  void ReloadHeader();
  void WriteHeader();
  void WriteTag(const NdxHeader& header);

  NdxHeader header_;
};

}  // namespace tables
