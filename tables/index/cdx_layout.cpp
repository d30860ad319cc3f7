#include "tables/index/cdx_layout.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "tables/index/cdx_key.hpp"
#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

constexpr int kLeafFree = 12;
constexpr int kLeafRecordMask = 14;
constexpr int kLeafDuplicateMask = 18;
constexpr int kLeafTrailingMask = 19;
constexpr int kLeafRecordBits = 20;
constexpr int kLeafDuplicateBits = 21;
constexpr int kLeafTrailingBits = 22;
constexpr int kLeafEntryBytes = 23;
constexpr int kKeyArea = 24;
constexpr int kInteriorArea = 12;
constexpr std::uint32_t kCacheLine = 64;

constexpr int kHeaderVersion = 8;
constexpr int kHeaderKeyLength = 12;
constexpr int kHeaderOptions = 14;
constexpr int kHeaderSignature = 15;
constexpr int kHeaderCollation = 494;
constexpr int kHeaderOrder = 502;
constexpr int kHeaderKeyExprLength = 504;
constexpr int kHeaderForExprLength = 506;
constexpr int kHeaderKeyExprLength2 = 510;
constexpr int kHeaderExpressions = 512;
constexpr int kExpressionArea = 512;
constexpr std::uint8_t kSignature = 1;
constexpr std::uint8_t kGeneralSignature = 2;
constexpr const char kGeneral[] = "GENERAL";

std::uint64_t ReadLittle(const std::uint8_t* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | bytes[i];
  return value;
}

// The little-endian integer of count bytes at offset in a page: one 8-byte load where the
// page has 8 bytes from offset on.
std::uint64_t ReadEntryInteger(const std::uint8_t* page, int offset, int count) {
  if (std::endian::native != std::endian::little ||
      offset + static_cast<int>(sizeof(std::uint64_t)) > static_cast<int>(kCdxPageSize)) {
    return ReadLittle(page + offset, count);
  }
  std::uint64_t value;
  std::memcpy(&value, page + offset, sizeof value);
  return count >= 8 ? value : value & ((std::uint64_t{1} << (8 * count)) - 1);
}

void WriteLittle(std::uint8_t* bytes, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i)
    bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Mask(int bits) {
  return bits >= 32 ? 0xFFFFFFFF : (std::uint32_t{1} << bits) - 1;
}

// The key as the node holds it in memory: text without trailing blanks (GENERAL marks
// restored), numbers and dates padded to the key length. Assigned into key, whose storage is
// used again.
void AssignKey(const CdxKeyForm& form, std::string_view bytes, std::string& key) {
  if (!form.character) {
    key.assign(bytes);
    key.resize(static_cast<std::size_t>(form.keyLength), '\0');
    return;
  }
  key.assign(CdxTrimBlanks(bytes));
  if (form.general) CdxGeneralFromStored(key);
}

[[noreturn]] void Fault(const std::string& reason) {
  throw CdxLayoutError(reason);
}

std::uint32_t ChildOffset(std::uint32_t offset) {
  if (offset == 0 || offset % kCdxPageSize != 0) {
    Fault("child page offset " + std::to_string(offset) + " is not a page");
  }
  return offset;
}

// Reads a leaf's entries one after the other (prefix compression allows no other order),
// checking each; the key is rebuilt in a buffer of its own, padded to the key length.
class LeafCursor {
 public:
  LeafCursor(const CdxKeyForm& form, const std::uint8_t* page, int count)
      : form_(form), page_(page), count_(count) {
    layout_.recordBits = page[kLeafRecordBits];
    layout_.duplicateBits = page[kLeafDuplicateBits];
    layout_.trailingBits = page[kLeafTrailingBits];
    layout_.entryBytes = page[kLeafEntryBytes];
    const int bits = layout_.recordBits + layout_.duplicateBits + layout_.trailingBits;
    if (layout_.entryBytes < 1 || layout_.entryBytes > 8 || layout_.recordBits < 1 ||
        layout_.recordBits > 32 || layout_.duplicateBits > 16 || layout_.trailingBits > 16 ||
        bits > 8 * layout_.entryBytes) {
      Fault("leaf bit fields (record " + std::to_string(layout_.recordBits) + ", duplicate " +
            std::to_string(layout_.duplicateBits) + ", trailing " +
            std::to_string(layout_.trailingBits) + ", bytes per entry " +
            std::to_string(layout_.entryBytes) + ") do not fit together");
    }
    if (count * layout_.entryBytes > kCdxKeyAreaSize) {
      Fault("leaf holds " + std::to_string(count) + " keys, more than fit in a page");
    }
    recordMask_ = Mask(layout_.recordBits);
    duplicateMask_ = Mask(layout_.duplicateBits);
    trailingMask_ = Mask(layout_.trailingBits);
    entriesEnd_ = kKeyArea + count * layout_.entryBytes;
    std::fill(work_.begin(), work_.begin() + form.keyLength, form.Pad());
  }

  // Decodes entry index(), the one after the last decoded; there must be one.
  void Next() {
    const int i = index_++;
    const std::uint64_t value =
        ReadEntryInteger(page_, kKeyArea + i * layout_.entryBytes, layout_.entryBytes);
    record_ = static_cast<std::int32_t>(value & recordMask_);
    const int duplicate = static_cast<int>((value >> layout_.recordBits) & duplicateMask_);
    const int trailing =
        static_cast<int>((value >> (layout_.recordBits + layout_.duplicateBits)) & trailingMask_);
    const int stored = form_.keyLength - duplicate - trailing;
    if (stored < 0 || (i == 0 && duplicate != 0)) {
      Fault("leaf entry " + std::to_string(i) + " has duplicate count " +
            std::to_string(duplicate) + " and trailing count " + std::to_string(trailing) +
            " for key length " + std::to_string(form_.keyLength));
    }
    storedEnd_ -= stored;
    if (storedEnd_ < entriesEnd_)
      Fault("the key bytes of leaf entry " + std::to_string(i) + " overlap the entry table");
    std::memcpy(work_.data() + duplicate, page_ + storedEnd_, static_cast<std::size_t>(stored));
    length_ = static_cast<std::size_t>(form_.keyLength - trailing);
    // work_ holds padding from paddedFrom_ on; only what the previous key overwrote is padded
    // again.
    if (paddedFrom_ > length_) {
      std::fill(work_.begin() + static_cast<std::ptrdiff_t>(length_),
                work_.begin() + static_cast<std::ptrdiff_t>(paddedFrom_), form_.Pad());
    }
    paddedFrom_ = length_;
  }

  bool done() const { return index_ == count_; }
  int index() const { return index_; }
  std::int32_t record() const { return record_; }
  // The stored bytes of the entry decoded last, without its trailing padding.
  std::string_view stored() const { return {work_.data(), length_}; }
  // The key of the entry decoded last as a node holds it, for a form that needs no change
  // of its bytes (not GENERAL): text without trailing blanks, other keys padded.
  std::string_view plainKey() const {
    if (form_.character) return CdxTrimBlanks(stored());
    return {work_.data(), static_cast<std::size_t>(form_.keyLength)};
  }

 private:
  const CdxKeyForm& form_;
  const std::uint8_t* page_;
  int count_;
  CdxLeafLayout layout_;
  std::uint32_t recordMask_ = 0;
  std::uint32_t duplicateMask_ = 0;
  std::uint32_t trailingMask_ = 0;
  int entriesEnd_ = 0;
  int storedEnd_ = static_cast<int>(kCdxPageSize);
  int index_ = 0;
  std::int32_t record_ = 0;
  std::size_t length_ = 0;
  std::size_t paddedFrom_ = 0;
  std::array<char, kCdxMaxKeyLength> work_;
};

void DecodeLeaf(const CdxKeyForm& form, const std::uint8_t* page, XBobjIndexKey& node, int count) {
  LeafCursor cursor(form, page, count);
  node.ResizeEntries(static_cast<std::size_t>(count));
  while (!cursor.done()) {
    XBobjIndexKeyData& entry = node.entries[static_cast<std::size_t>(cursor.index())];
    cursor.Next();
    AssignKey(form, cursor.stored(), entry.key);
    entry.record = cursor.record();
    entry.pointer = static_cast<std::uint32_t>(entry.record);
  }
}

void CheckInteriorCount(const CdxKeyForm& form, int count) {
  if (count > form.InteriorCapacity()) {
    Fault("interior node holds " + std::to_string(count) + " keys, more than its capacity " +
          std::to_string(form.InteriorCapacity()));
  }
}

void DecodeInterior(const CdxKeyForm& form, const std::uint8_t* page, XBobjIndexKey& node,
                    int count) {
  CheckInteriorCount(form, count);
  const auto keyLength = static_cast<std::size_t>(form.keyLength);
  node.ResizeEntries(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::uint8_t* at = page + kInteriorArea + i * (form.keyLength + 8);
    XBobjIndexKeyData& entry = node.entries[static_cast<std::size_t>(i)];
    AssignKey(form, std::string_view(reinterpret_cast<const char*>(at), keyLength), entry.key);
    entry.record = static_cast<std::int32_t>(ReadBE32(at + keyLength));
    entry.pointer = ChildOffset(ReadBE32(at + keyLength + 4));
  }
}

// The 0-terminated text at offset inside the expression area.
std::string ExpressionAt(const std::uint8_t* area, int& offset) {
  const auto* start = reinterpret_cast<const char*>(area + offset);
  const auto length =
      static_cast<int>(strnlen(start, static_cast<std::size_t>(kExpressionArea - offset)));
  if (offset + length >= kExpressionArea) Fault("expression text is not terminated");
  offset += length + 1;
  return std::string(start, static_cast<std::size_t>(length));
}

}  // namespace

CdxLeafLayout CdxLeafLayoutFor(int keyLength, std::uint32_t highestRecord) {
  const int significant = std::bit_width(static_cast<unsigned>(keyLength));
  CdxLeafLayout layout{24 - 2 * significant, significant, significant, 3, 0};
  layout.recordMask = Mask(layout.recordBits);
  while (layout.recordMask < highestRecord) {
    ++layout.entryBytes;
    if ((layout.recordMask & 0x800000) != 0) {
      layout.recordMask = 0x7FFFFFFF;
      layout.recordBits = 31;
      break;
    }
    layout.recordBits += 8;
    layout.recordMask = layout.recordMask * 256 + 255;
  }
  return layout;
}

namespace {

// CdxLeafKeyBytes into bytes, whose storage is used again.
void AssignLeafKeyBytes(const CdxKeyForm& form, std::string_view key, std::string& bytes) {
  bytes.assign(key.substr(0, static_cast<std::size_t>(form.keyLength)));
  if (form.character) {
    if (form.general) CdxGeneralToStored(bytes);
  } else {
    while (!bytes.empty() && bytes.back() == '\0')
      bytes.pop_back();
  }
}

}  // namespace

std::size_t CdxSharedLength(std::string_view left, std::string_view right) {
  const std::size_t limit = std::min(left.size(), right.size());
  std::size_t shared = 0;
  for (; shared + sizeof(std::uint64_t) <= limit; shared += sizeof(std::uint64_t)) {
    std::uint64_t leftWord;
    std::uint64_t rightWord;
    std::memcpy(&leftWord, left.data() + shared, sizeof leftWord);
    std::memcpy(&rightWord, right.data() + shared, sizeof rightWord);
    if (leftWord != rightWord) break;
  }
  while (shared < limit && left[shared] == right[shared])
    ++shared;
  return shared;
}

std::string CdxLeafKeyBytes(const CdxKeyForm& form, std::string_view key) {
  std::string bytes;
  AssignLeafKeyBytes(form, key, bytes);
  return bytes;
}

CdxLeafWriter::CdxLeafWriter(const CdxKeyForm& form, const CdxLeafLayout& layout)
    : form_(form), layout_(layout), area_(kCdxKeyAreaSize, 0) {}

void CdxLeafWriter::Clear() {
  std::fill(area_.begin(), area_.end(), 0);
  previous_.clear();
  free_ = kCdxKeyAreaSize;
  count_ = 0;
  storedEnd_ = kCdxKeyAreaSize;
}

int CdxLeafWriter::SizeOf(std::string_view key) const {
  const std::string bytes = CdxLeafKeyBytes(form_, key);
  const auto common = static_cast<int>(CdxSharedLength(bytes, previous_));
  return layout_.entryBytes + static_cast<int>(bytes.size()) - (count_ == 0 ? 0 : common);
}

void CdxLeafWriter::Append(std::string_view key, std::int32_t record) {
  std::string& bytes = current_;
  AssignLeafKeyBytes(form_, key, bytes);
  const int duplicate = count_ > 0 ? static_cast<int>(CdxSharedLength(bytes, previous_)) : 0;
  const int trailing = form_.keyLength - static_cast<int>(bytes.size());
  const int stored = static_cast<int>(bytes.size()) - duplicate;
  const std::uint64_t value =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(record)) & layout_.recordMask) |
      (static_cast<std::uint64_t>(duplicate) << layout_.recordBits) |
      (static_cast<std::uint64_t>(trailing) << (layout_.recordBits + layout_.duplicateBits));
  WriteLittle(area_.data() + count_ * layout_.entryBytes, value, layout_.entryBytes);
  storedEnd_ -= stored;
  std::memcpy(area_.data() + storedEnd_, bytes.data() + duplicate,
              static_cast<std::size_t>(stored));
  free_ -= layout_.entryBytes + stored;
  ++count_;
  std::swap(previous_, current_);
}

void CdxLeafWriter::Write(std::uint8_t* page, std::uint16_t attribute, std::uint32_t left,
                          std::uint32_t right) const {
  // Every byte of the page is set below: the header's fields and the whole key area.
  WriteLE16(page, attribute);
  WriteLE16(page + 2, static_cast<std::uint16_t>(count_));
  WriteLE32(page + 4, left);
  WriteLE32(page + 8, right);
  WriteLE16(page + kLeafFree, static_cast<std::uint16_t>(free_));
  WriteLE32(page + kLeafRecordMask, layout_.recordMask);
  page[kLeafDuplicateMask] = static_cast<std::uint8_t>(Mask(layout_.duplicateBits));
  page[kLeafTrailingMask] = static_cast<std::uint8_t>(Mask(layout_.trailingBits));
  page[kLeafRecordBits] = static_cast<std::uint8_t>(layout_.recordBits);
  page[kLeafDuplicateBits] = static_cast<std::uint8_t>(layout_.duplicateBits);
  page[kLeafTrailingBits] = static_cast<std::uint8_t>(layout_.trailingBits);
  page[kLeafEntryBytes] = static_cast<std::uint8_t>(layout_.entryBytes);
  std::memcpy(page + kKeyArea, area_.data(), area_.size());
}

void CdxWriteInterior(const CdxKeyForm& form, const std::vector<XBobjIndexKeyData>& entries,
                      std::uint8_t* page, std::uint16_t attribute, std::uint32_t left,
                      std::uint32_t right) {
  std::memset(page, 0, kCdxPageSize);
  WriteLE16(page, attribute);
  WriteLE16(page + 2, static_cast<std::uint16_t>(entries.size()));
  WriteLE32(page + 4, left);
  WriteLE32(page + 8, right);
  std::memset(page + kInteriorArea, form.Pad(), kCdxInteriorAreaSize);
  const auto keyLength = static_cast<std::size_t>(form.keyLength);
  std::uint8_t* at = page + kInteriorArea;
  for (const XBobjIndexKeyData& entry : entries) {
    std::string key = entry.key.substr(0, keyLength);
    if (form.general) CdxGeneralToStored(key);
    std::memcpy(at, key.data(), key.size());
    std::memset(at + key.size(), form.Pad(), keyLength - key.size());
    WriteBE32(at + keyLength, static_cast<std::uint32_t>(entry.record));
    WriteBE32(at + keyLength + 4, entry.pointer);
    at += keyLength + 8;
  }
}

namespace {

// The node fields in front of the entries; returns the entry count.
int DecodeHead(const std::uint8_t* page, std::uint32_t offset, XBobjIndexKey& node) {
  const std::uint16_t attribute = ReadLE16(page);
  if (attribute > (cdx_attribute::Leaf | cdx_attribute::Root)) {
    Fault("node attribute " + std::to_string(attribute) + " is none of 0 to 3");
  }
  node.page = offset;
  node.leaf = (attribute & cdx_attribute::Leaf) != 0;
  node.root = (attribute & cdx_attribute::Root) != 0;
  node.left = ReadLE32(page + 4);
  node.right = ReadLE32(page + 8);
  node.position = -1;
  node.partial = false;
  return ReadLE16(page + 2);
}

int SearchLeaf(const CdxKeyForm& form, const std::uint8_t* page, const XBobjNodeSearch& search,
               XBobjIndexKey& node, int count) {
  LeafCursor cursor(form, page, count);
  int result = 1;
  while (!cursor.done()) {
    cursor.Next();
    result = search.Order(cursor.plainKey(), cursor.record());
    if (search.StopsAt(result)) break;
  }
  if (!search.StopsAt(result)) result = 1;
  node.position = cursor.index() - 1;
  node.partial = true;
  node.ResizeEntries(static_cast<std::size_t>(count));
  XBobjIndexKeyData& entry = node.entries[static_cast<std::size_t>(node.position)];
  entry.key.assign(cursor.plainKey());
  entry.record = cursor.record();
  entry.pointer = static_cast<std::uint32_t>(entry.record);
  return result;
}

int SearchInterior(const CdxKeyForm& form, const std::uint8_t* page, const XBobjNodeSearch& search,
                   XBobjIndexKey& node, int count) {
  CheckInteriorCount(form, count);
  const auto keyLength = static_cast<std::size_t>(form.keyLength);
  const auto entryAt = [&](int i) { return page + kInteriorArea + i * (form.keyLength + 8); };
  const auto keyAt = [&](const std::uint8_t* at) {
    const std::string_view bytes(reinterpret_cast<const char*>(at), keyLength);
    return form.character ? CdxTrimBlanks(bytes) : bytes;
  };
  // Text keys are compared with their padding, which is looked at only where it matters.
  const bool padded = form.character && search.probe.size() <= keyLength;
  const auto orderAt = [&](const std::uint8_t* at) {
    const auto record = static_cast<std::int32_t>(ReadBE32(at + keyLength));
    if (!padded) return search.Order(keyAt(at), record);
    return search.OrderPadded(std::string_view(reinterpret_cast<const char*>(at), keyLength),
                              record);
  };
  // As in a decoded node: halving over all but the last entry, which is taken when no other
  // one stops the search.
  int low = 0;
  int high = count - 1;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    if (search.StopsAt(orderAt(entryAt(middle)))) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  node.position = low;
  node.partial = true;
  node.ResizeEntries(static_cast<std::size_t>(count));
  const std::uint8_t* at = entryAt(low);
  XBobjIndexKeyData& entry = node.entries[static_cast<std::size_t>(low)];
  entry.key.assign(keyAt(at));
  entry.record = static_cast<std::int32_t>(ReadBE32(at + keyLength));
  entry.pointer = ChildOffset(ReadBE32(at + keyLength + 4));
  return 1;
}

}  // namespace

void CdxDecodeNode(const CdxKeyForm& form, const std::uint8_t* page, std::uint32_t offset,
                   XBobjIndexKey& node) {
  const int count = DecodeHead(page, offset, node);
  if (node.leaf) {
    DecodeLeaf(form, page, node, count);
  } else {
    DecodeInterior(form, page, node, count);
  }
}

int CdxSearchNode(const CdxKeyForm& form, const std::uint8_t* page, std::uint32_t offset,
                  const XBobjNodeSearch& search, XBobjIndexKey& node) {
  if (form.general) throw std::logic_error("GENERAL keys are searched in decoded nodes");
  // The page's cache lines are asked for at once rather than one after the other as the
  // search reaches them: pages deep in a large tree are seldom in the cache.
  for (std::uint32_t line = 0; line < kCdxPageSize; line += kCacheLine)
    __builtin_prefetch(page + line);
  __builtin_prefetch(page + kCdxPageSize - 1);
  const int count = DecodeHead(page, offset, node);
  if (count == 0) {
    node.entries.clear();
    return 1;
  }
  return node.leaf ? SearchLeaf(form, page, search, node, count)
                   : SearchInterior(form, page, search, node, count);
}

CdxTagHeader CdxReadHeader(const std::uint8_t* bytes, std::uint64_t fileSize) {
  CdxTagHeader header;
  header.root = ReadLE32(bytes);
  if (header.root == 0 || header.root % kCdxPageSize != 0 || header.root >= fileSize) {
    Fault("root page offset " + std::to_string(header.root) + " is not a page of the file");
  }
  header.version = static_cast<std::int32_t>(ReadLE32(bytes + kHeaderVersion));
  header.keyLength = static_cast<std::int16_t>(ReadLE16(bytes + kHeaderKeyLength));
  if (header.keyLength < 1 || header.keyLength > kCdxMaxKeyLength) {
    Fault("key length " + std::to_string(header.keyLength) + " is outside 1 to 240");
  }
  header.options = bytes[kHeaderOptions];
  const std::string_view collation(
      reinterpret_cast<const char*>(bytes + kHeaderCollation),
      strnlen(reinterpret_cast<const char*>(bytes + kHeaderCollation), 8));
  header.general =
      collation.size() == 7 && std::equal(collation.begin(), collation.end(), kGeneral,
                                          [](char a, char b) { return (a & ~0x20) == b; });
  header.descending = ReadLE16(bytes + kHeaderOrder) != 0;
  int offset = 0;
  const std::uint8_t* area = bytes + kHeaderExpressions;
  header.keyExpression = ExpressionAt(area, offset);
  if (header.hasFor()) header.forExpression = ExpressionAt(area, offset);
  return header;
}

void CdxWriteHeader(const CdxTagHeader& header, bool directory, std::uint8_t* bytes) {
  const std::size_t needed = header.keyExpression.size() + 1 +
                             (header.forExpression.empty() ? 0 : header.forExpression.size() + 1);
  if (needed > static_cast<std::size_t>(kExpressionArea)) {
    Fault("the key and FOR expressions are longer than the 512 bytes a tag header holds");
  }
  std::memset(bytes, 0, kCdxHeaderSize);
  WriteLE32(bytes, header.root);
  WriteLE32(bytes + kHeaderVersion, static_cast<std::uint32_t>(header.version));
  WriteLE16(bytes + kHeaderKeyLength, static_cast<std::uint16_t>(header.keyLength));
  bytes[kHeaderOptions] = header.options;
  bytes[kHeaderSignature] = header.general ? kGeneralSignature : kSignature;
  if (header.general) std::memcpy(bytes + kHeaderCollation, kGeneral, sizeof kGeneral);
  WriteLE16(bytes + kHeaderOrder, header.descending ? 1 : 0);
  const auto keyWord = static_cast<std::uint16_t>(header.keyExpression.size() + 1);
  WriteLE16(bytes + kHeaderKeyExprLength, directory ? 0 : keyWord);
  WriteLE16(bytes + kHeaderForExprLength,
            static_cast<std::uint16_t>(header.forExpression.size() + 1));
  WriteLE16(bytes + kHeaderKeyExprLength2, directory ? 1 : keyWord);
  std::uint8_t* area = bytes + kHeaderExpressions;
  std::memcpy(area, header.keyExpression.data(), header.keyExpression.size());
  if (!header.forExpression.empty()) {
    std::memcpy(area + header.keyExpression.size() + 1, header.forExpression.data(),
                header.forExpression.size());
  }
}

}  // namespace tables
