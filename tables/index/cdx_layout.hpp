#pragma once
// The byte layout of compound index pages: leaf bit fields, leaf and interior nodes, tag
// headers. Decoders check every field they use and raise CdxLayoutError with the reason;
// the callers add the file, tag and page.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/index_key.hpp"
#include "tables/index/node_search.hpp"

namespace tables {

inline constexpr std::uint32_t kCdxPageSize = 512;
inline constexpr std::uint32_t kCdxHeaderSize = 1024;
inline constexpr std::uint32_t kCdxNewFileSize = 1536;
inline constexpr std::uint32_t kCdxDirectoryRoot = 1024;
inline constexpr int kCdxKeyAreaSize = 488;
inline constexpr int kCdxInteriorAreaSize = 500;
inline constexpr int kCdxMaxKeyLength = 240;
inline constexpr int kCdxDirectoryKeyLength = 10;
inline constexpr int kCdxMaxTagNameLength = 10;

namespace cdx_attribute {
inline constexpr std::uint16_t Interior = 0;
inline constexpr std::uint16_t Root = 1;
inline constexpr std::uint16_t Leaf = 2;
}  // namespace cdx_attribute

namespace cdx_option {
inline constexpr std::uint8_t Unique = 0x01;
inline constexpr std::uint8_t ForExpression = 0x08;
inline constexpr std::uint8_t Compact = 0x20;
inline constexpr std::uint8_t Compound = 0x40;
inline constexpr std::uint8_t Directory = 0x80;
}  // namespace cdx_option

class CdxLayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How a tag's keys look: their length, whether they are text (blank-padded, trailing blanks
// not stored) and whether they are GENERAL-collation keys.
struct CdxKeyForm {
  int keyLength = 0;
  bool character = true;
  bool general = false;

  char Pad() const { return character ? ' ' : '\0'; }
  int InteriorCapacity() const { return kCdxInteriorAreaSize / (keyLength + 8); }
};

struct CdxLeafLayout {
  int recordBits = 0;
  int duplicateBits = 0;
  int trailingBits = 0;
  int entryBytes = 0;
  std::uint32_t recordMask = 0;
};

// The leaf bit fields for a key length and the highest record number (or, for the tag
// directory, the file size) the leaf must hold.
CdxLeafLayout CdxLeafLayoutFor(int keyLength, std::uint32_t highestRecord);

// The bytes of a key a leaf stores before its trailing count: text keys in full (GENERAL keys
// with their final marks in stored form), numeric keys without trailing 0x00 bytes.
std::string CdxLeafKeyBytes(const CdxKeyForm& form, std::string_view key);

// The number of leading bytes two keys share, compared eight at a time.
std::size_t CdxSharedLength(std::string_view left, std::string_view right);

// Builds one leaf page entry by entry.
class CdxLeafWriter {
 public:
  CdxLeafWriter(const CdxKeyForm& form, const CdxLeafLayout& layout);
  // Bytes the entry would take (entry integer and stored key bytes).
  int SizeOf(std::string_view key) const;
  // Appends (key, record); the caller makes sure it fits (SizeOf <= freeBytes()).
  void Append(std::string_view key, std::int32_t record);
  // Starts a new page, the storage of this one used again.
  void Clear();
  int freeBytes() const { return free_; }
  int count() const { return count_; }
  // The finished page.
  void Write(std::uint8_t* page, std::uint16_t attribute, std::uint32_t left,
             std::uint32_t right) const;

 private:
  CdxKeyForm form_;
  CdxLeafLayout layout_;
  std::vector<std::uint8_t> area_;  // the key area
  std::string previous_;
  std::string current_;  // the stored bytes of the entry being appended
  int free_ = kCdxKeyAreaSize;
  int count_ = 0;
  int storedEnd_ = kCdxKeyAreaSize;
};

// Writes an interior page from its entries (at most the form's capacity).
void CdxWriteInterior(const CdxKeyForm& form, const std::vector<XBobjIndexKeyData>& entries,
                      std::uint8_t* page, std::uint16_t attribute, std::uint32_t left,
                      std::uint32_t right);

// Decodes a node page (leaf or interior) into node; page offset and key form as given.
void CdxDecodeNode(const CdxKeyForm& form, const std::uint8_t* page, std::uint32_t offset,
                   XBobjIndexKey& node);

// Reads a node page only as far as search needs (see XBobjIndexTag::SearchNode): interior
// entries are halved on the page's bytes, leaf entries decoded up to the first the search
// stops at; only that entry is decoded into node, which is left partial. Not for GENERAL keys.
int CdxSearchNode(const CdxKeyForm& form, const std::uint8_t* page, std::uint32_t offset,
                  const XBobjNodeSearch& search, XBobjIndexKey& node);

// A tag header (the directory's too), as far as this engine reads and writes it.
struct CdxTagHeader {
  std::uint32_t root = 0;
  std::int32_t version = 0;
  int keyLength = 0;
  std::uint8_t options = 0;
  bool general = false;
  bool descending = false;
  std::string keyExpression;
  std::string forExpression;

  bool unique() const { return (options & cdx_option::Unique) != 0; }
  bool hasFor() const { return (options & cdx_option::ForExpression) != 0; }
};

// Reads and checks a header: root a positive multiple of the page size inside fileSize, key
// length 1 to 240, expressions terminated inside the expression area.
CdxTagHeader CdxReadHeader(const std::uint8_t* bytes, std::uint64_t fileSize);
// Writes the 1024 header bytes; the directory header has no key expression.
void CdxWriteHeader(const CdxTagHeader& header, bool directory, std::uint8_t* bytes);

}  // namespace tables
