#pragma once
// The dBase IV multiple index file (MDX): a 2048-byte file header with the tag slots, then
// blocks of 1024 bytes (two 512-byte units) addressed by unit number: each tag's header
// block and the nodes of its B+ tree. A node holds a 32-bit key count, a block number kept
// with it, and entries of (block or record number, key); an interior node (the pointer after
// its last key not 0) holds one more pointer than keys.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tables {

inline constexpr std::uint32_t kMdxUnit = 512;
inline constexpr std::uint32_t kMdxFileHeaderSize = 2048;
inline constexpr int kMdxSlotCount = 48;
inline constexpr int kMdxSlotLength = 32;
inline constexpr int kMdxMaxTagName = 10;
inline constexpr int kMdxMaxKeyLength = 100;

class MdxLayoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MdxTagSlot {
  std::uint32_t headerUnit = 0;
  std::string name;
  char keyType = 'C';
};

struct MdxFileHeader {
  std::uint8_t created[3] = {0, 0, 0};  // year modulo 100, month, day
  std::string tableName;
  int unitsPerBlock = 2;
  int blockLength = 1024;
  bool production = true;
  int slotCount = kMdxSlotCount;
  int slotLength = kMdxSlotLength;
  std::uint32_t nextFreeUnit = kMdxFileHeaderSize / kMdxUnit;
  std::uint8_t updated[3] = {0, 0, 0};
  std::vector<MdxTagSlot> tags;  // the used slots, in slot order
};

// The slots that can hold a tag: of the 48 slots a new file names, the last lies past the
// header, so 47.
int MdxUsableSlots(const MdxFileHeader& header);

MdxFileHeader MdxReadFileHeader(const std::uint8_t* bytes, std::uint64_t fileSize);
void MdxWriteFileHeader(const MdxFileHeader& header, std::uint8_t* bytes);

struct MdxTagHeader {
  std::uint32_t rootUnit = 0;
  bool descending = false;
  bool unique = false;
  char keyType = 'C';
  int keyLength = 0;
  int maxKeys = 0;
  int entrySize = 0;
  std::string keyExpression;
  std::string forExpression;
  std::uint32_t firstUnit = 0;  // the two block numbers the tag keeps
  std::uint32_t lastUnit = 0;
};

MdxTagHeader MdxTagHeaderFor(std::string expression, std::string forExpression, char keyType,
                             int keyLength, bool unique, bool descending, int blockLength);
MdxTagHeader MdxReadTagHeader(const std::uint8_t* block, int blockLength);
void MdxWriteTagHeader(const MdxTagHeader& header, std::uint8_t* block, int blockLength);

struct MdxStoredEntry {
  std::uint32_t pointer = 0;  // record number in a leaf, child unit in an interior node
  std::string key;            // empty for the pointer after an interior node's last key
};

struct MdxStoredNode {
  bool leaf = true;
  std::vector<MdxStoredEntry> entries;
};
MdxStoredNode MdxReadNode(const MdxTagHeader& header, const std::uint8_t* block);
void MdxWriteNode(const MdxTagHeader& header, const MdxStoredNode& node, std::uint8_t* block,
                  int blockLength);

}  // namespace tables
