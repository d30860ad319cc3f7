#include "tables/index/mdx_layout.hpp"

#include <algorithm>
#include <cstring>

#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

constexpr std::uint8_t kVersion = 2;
constexpr int kTableNameOffset = 4;
constexpr int kTableNameLength = 16;
constexpr int kUnitsOffset = 20;
constexpr int kBlockLengthOffset = 22;
constexpr int kProductionOffset = 24;
constexpr int kSlotCountOffset = 25;
constexpr int kSlotLengthOffset = 26;
constexpr int kTagCountOffset = 28;
constexpr int kNextFreeOffset = 32;
constexpr int kUpdatedOffset = 44;
constexpr int kSlotsOffset = 512;
constexpr int kSlotNameOffset = 4;
constexpr int kSlotKeyTypeOffset = 20;

constexpr int kTagFlagsOffset = 8;
constexpr int kTagKeyTypeOffset = 9;
constexpr int kTagKeyLengthOffset = 12;
constexpr int kTagMaxKeysOffset = 14;
constexpr int kTagEntrySizeOffset = 18;
constexpr int kTagUniqueOffset = 23;
constexpr int kTagExpressionOffset = 24;
constexpr int kTagExpressionLength = 220;
constexpr int kTagHasForOffset = 245;
constexpr int kTagMarkOffset = 246;
constexpr int kTagFirstOffset = 248;
constexpr int kTagLastOffset = 252;
constexpr int kTagForOffset = 762;
constexpr int kTagForLength = 220;
constexpr std::uint8_t kFlagBase = 0x10;
constexpr std::uint8_t kFlagDescending = 0x08;
constexpr std::uint8_t kFlagUnique = 0x40;

constexpr int kNodeEntriesOffset = 8;

std::string Text(const std::uint8_t* at, std::size_t room) {
  const auto* text = reinterpret_cast<const char*>(at);
  return std::string(text, strnlen(text, room));
}

void PutText(std::uint8_t* at, const std::string& text, std::size_t room) {
  std::memcpy(at, text.data(), std::min(text.size(), room - 1));
}

}  // namespace

int MdxUsableSlots(const MdxFileHeader& header) {
  // Slot i lies at 512 + i x slot length, from 1, inside the header.
  const int fitting = (static_cast<int>(kMdxFileHeaderSize) - kSlotsOffset) / header.slotLength - 1;
  return std::min(header.slotCount, fitting);
}

MdxFileHeader MdxReadFileHeader(const std::uint8_t* bytes, std::uint64_t fileSize) {
  MdxFileHeader header;
  std::memcpy(header.created, bytes + 1, 3);
  header.tableName = Text(bytes + kTableNameOffset, kTableNameLength);
  header.unitsPerBlock = ReadLE16(bytes + kUnitsOffset);
  header.blockLength = ReadLE16(bytes + kBlockLengthOffset);
  header.production = bytes[kProductionOffset] != 0;
  header.slotCount = bytes[kSlotCountOffset];
  header.slotLength = bytes[kSlotLengthOffset];
  header.nextFreeUnit = ReadLE32(bytes + kNextFreeOffset);
  std::memcpy(header.updated, bytes + kUpdatedOffset, 3);
  const int tags = ReadLE16(bytes + kTagCountOffset);
  if (header.unitsPerBlock < 2 || header.unitsPerBlock > 32 ||
      header.blockLength != header.unitsPerBlock * static_cast<int>(kMdxUnit)) {
    throw MdxLayoutError("block size " + std::to_string(header.unitsPerBlock) +
                         " units does not agree with block length " +
                         std::to_string(header.blockLength));
  }
  if (header.slotLength < 24 || header.slotCount < 1) {
    throw MdxLayoutError(std::to_string(header.slotCount) + " tag slots of " +
                         std::to_string(header.slotLength) + " bytes");
  }
  if (tags > MdxUsableSlots(header)) {
    throw MdxLayoutError(std::to_string(tags) + " tags in " + std::to_string(header.slotCount) +
                         " slots");
  }
  for (int i = 1; i <= tags; ++i) {
    const std::uint8_t* slot = bytes + kSlotsOffset + i * header.slotLength;
    MdxTagSlot tag;
    tag.headerUnit = ReadLE32(slot);
    tag.name = Text(slot + kSlotNameOffset, kMdxMaxTagName + 1);
    tag.keyType = static_cast<char>(slot[kSlotKeyTypeOffset]);
    if (tag.headerUnit < kMdxFileHeaderSize / kMdxUnit ||
        (std::uint64_t{tag.headerUnit} * kMdxUnit +
         static_cast<std::uint64_t>(header.blockLength)) > fileSize) {
      throw MdxLayoutError("the header of tag " + tag.name + " at block " +
                           std::to_string(tag.headerUnit) + " is not inside the file");
    }
    if (tag.name.empty()) throw MdxLayoutError("tag slot " + std::to_string(i) + " has no name");
    header.tags.push_back(std::move(tag));
  }
  return header;
}

void MdxWriteFileHeader(const MdxFileHeader& header, std::uint8_t* bytes) {
  std::memset(bytes, 0, kMdxFileHeaderSize);
  bytes[0] = kVersion;
  std::memcpy(bytes + 1, header.created, 3);
  PutText(bytes + kTableNameOffset, header.tableName.substr(0, 8), kTableNameLength);
  WriteLE16(bytes + kUnitsOffset, static_cast<std::uint16_t>(header.unitsPerBlock));
  WriteLE16(bytes + kBlockLengthOffset, static_cast<std::uint16_t>(header.blockLength));
  bytes[kProductionOffset] = header.production ? 1 : 0;
  bytes[kSlotCountOffset] = static_cast<std::uint8_t>(header.slotCount);
  bytes[kSlotLengthOffset] = static_cast<std::uint8_t>(header.slotLength);
  WriteLE16(bytes + kTagCountOffset, static_cast<std::uint16_t>(header.tags.size()));
  WriteLE32(bytes + kNextFreeOffset, header.nextFreeUnit);
  std::memcpy(bytes + kUpdatedOffset, header.updated, 3);
  for (std::size_t i = 0; i < header.tags.size(); ++i) {
    std::uint8_t* slot = bytes + kSlotsOffset + (static_cast<int>(i) + 1) * header.slotLength;
    WriteLE32(slot, header.tags[i].headerUnit);
    PutText(slot + kSlotNameOffset, header.tags[i].name, kMdxMaxTagName + 1);
    slot[kSlotKeyTypeOffset] = static_cast<std::uint8_t>(header.tags[i].keyType);
  }
}

MdxTagHeader MdxTagHeaderFor(std::string expression, std::string forExpression, char keyType,
                             int keyLength, bool unique, bool descending, int blockLength) {
  MdxTagHeader header;
  header.keyExpression = std::move(expression);
  header.forExpression = std::move(forExpression);
  header.keyType = keyType;
  header.keyLength = keyLength;
  header.unique = unique;
  header.descending = descending;
  header.entrySize = (keyLength + 4 + 3) / 4 * 4;
  header.maxKeys = (blockLength - kNodeEntriesOffset) / header.entrySize - 1;
  return header;
}

MdxTagHeader MdxReadTagHeader(const std::uint8_t* block, int blockLength) {
  MdxTagHeader header;
  header.rootUnit = ReadLE32(block);
  const std::uint8_t flags = block[kTagFlagsOffset];
  header.descending = (flags & kFlagDescending) != 0;
  header.unique = (flags & kFlagUnique) != 0 || block[kTagUniqueOffset] != 0;
  header.keyType = static_cast<char>(block[kTagKeyTypeOffset]);
  header.keyLength = ReadLE16(block + kTagKeyLengthOffset);
  header.maxKeys = ReadLE16(block + kTagMaxKeysOffset);
  header.entrySize = ReadLE16(block + kTagEntrySizeOffset);
  header.keyExpression = Text(block + kTagExpressionOffset, kTagExpressionLength);
  if (block[kTagHasForOffset] != 0)
    header.forExpression = Text(block + kTagForOffset, kTagForLength);
  header.firstUnit = ReadLE32(block + kTagFirstOffset);
  header.lastUnit = ReadLE32(block + kTagLastOffset);
  if (header.keyType != 'C' && header.keyType != 'N' && header.keyType != 'D') {
    throw MdxLayoutError("the key type is not C, N or D");
  }
  if (header.keyLength < 1 || header.keyLength > kMdxMaxKeyLength ||
      header.entrySize < header.keyLength + 4 || header.entrySize % 4 != 0) {
    throw MdxLayoutError("key length " + std::to_string(header.keyLength) + " and entry size " +
                         std::to_string(header.entrySize) + " do not agree");
  }
  if (header.maxKeys < 2 ||
      kNodeEntriesOffset + (header.maxKeys + 1) * header.entrySize > blockLength) {
    throw MdxLayoutError(std::to_string(header.maxKeys) + " keys of " +
                         std::to_string(header.entrySize) + " bytes do not fit a block");
  }
  if (header.keyExpression.empty()) throw MdxLayoutError("the key expression is empty");
  return header;
}

void MdxWriteTagHeader(const MdxTagHeader& header, std::uint8_t* block, int blockLength) {
  std::memset(block, 0, static_cast<std::size_t>(blockLength));
  WriteLE32(block, header.rootUnit);
  std::uint8_t flags = kFlagBase;
  if (header.descending) flags |= kFlagDescending;
  if (header.unique) flags |= kFlagUnique;
  block[kTagFlagsOffset] = flags;
  block[kTagKeyTypeOffset] = static_cast<std::uint8_t>(header.keyType);
  WriteLE16(block + kTagKeyLengthOffset, static_cast<std::uint16_t>(header.keyLength));
  WriteLE16(block + kTagMaxKeysOffset, static_cast<std::uint16_t>(header.maxKeys));
  WriteLE16(block + kTagEntrySizeOffset, static_cast<std::uint16_t>(header.entrySize));
  block[kTagUniqueOffset] = header.unique ? kFlagUnique : 0;
  PutText(block + kTagExpressionOffset, header.keyExpression, kTagExpressionLength);
  block[kTagHasForOffset] = header.forExpression.empty() ? 0 : 1;
  block[kTagMarkOffset] = 1;
  WriteLE32(block + kTagFirstOffset, header.firstUnit);
  WriteLE32(block + kTagLastOffset, header.lastUnit);
  PutText(block + kTagForOffset, header.forExpression, kTagForLength);
}

MdxStoredNode MdxReadNode(const MdxTagHeader& header, const std::uint8_t* block) {
  const std::uint32_t count = ReadLE32(block);
  if (count > static_cast<std::uint32_t>(header.maxKeys)) {
    throw MdxLayoutError("the node claims " + std::to_string(count) + " keys; at most " +
                         std::to_string(header.maxKeys) + " fit");
  }
  const auto at = [&](std::uint32_t i) {
    return block + kNodeEntriesOffset + i * static_cast<std::uint32_t>(header.entrySize);
  };
  MdxStoredNode node;
  node.leaf = ReadLE32(at(count)) == 0;
  const std::uint32_t entries = node.leaf ? count : count + 1;
  for (std::uint32_t i = 0; i < entries; ++i) {
    MdxStoredEntry entry;
    entry.pointer = ReadLE32(at(i));
    if (i < count) {
      entry.key.assign(reinterpret_cast<const char*>(at(i) + 4),
                       static_cast<std::size_t>(header.keyLength));
    }
    if (!node.leaf && entry.pointer == 0) {
      throw MdxLayoutError("entry " + std::to_string(i) + " of an interior node has no child");
    }
    node.entries.push_back(std::move(entry));
  }
  return node;
}

void MdxWriteNode(const MdxTagHeader& header, const MdxStoredNode& node, std::uint8_t* block,
                  int blockLength) {
  std::memset(block, 0, static_cast<std::size_t>(blockLength));
  const auto count = node.leaf ? node.entries.size() : node.entries.size() - 1;
  WriteLE32(block, static_cast<std::uint32_t>(count));
  for (std::size_t i = 0; i < node.entries.size(); ++i) {
    std::uint8_t* at = block + kNodeEntriesOffset + i * static_cast<std::size_t>(header.entrySize);
    WriteLE32(at, node.entries[i].pointer);
    if (i == count) break;
    std::memcpy(at + 4, node.entries[i].key.data(),
                std::min(node.entries[i].key.size(), static_cast<std::size_t>(header.keyLength)));
  }
}

}  // namespace tables
