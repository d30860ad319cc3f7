#include "tables/index/ndx_layout.hpp"

#include <cstring>

#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

constexpr int kRootOffset = 0;
constexpr int kNextBlockOffset = 4;
constexpr int kKeyLengthOffset = 12;
constexpr int kMaxKeysOffset = 14;
constexpr int kKeyTypeOffset = 16;
constexpr int kEntrySizeOffset = 18;
constexpr int kUniqueOffset = 23;
constexpr int kExpressionOffset = 24;
constexpr int kNodeEntriesOffset = 4;
constexpr int kEntryKeyOffset = 8;
constexpr int kMaxKeyLength = 100;

int EntrySizeFor(int keyLength, bool numeric) {
  const int working = numeric ? 12 : keyLength;
  return (working + 8 + 3) / 4 * 4;
}

}  // namespace

NdxHeader NdxHeaderFor(std::string expression, int keyLength, bool numeric, bool unique) {
  NdxHeader header;
  header.keyLength = numeric ? kNdxNumericKeyLength : keyLength;
  header.numeric = numeric;
  header.entrySize = EntrySizeFor(header.keyLength, numeric);
  header.maxKeys = (kNdxBlockSize - kNodeEntriesOffset - 4) / header.entrySize;
  header.unique = unique;
  header.keyExpression = std::move(expression);
  return header;
}

NdxHeader NdxReadHeader(const std::uint8_t* block, std::uint64_t fileSize) {
  NdxHeader header;
  header.root = ReadLE32(block + kRootOffset);
  header.nextBlock = ReadLE32(block + kNextBlockOffset);
  header.keyLength = ReadLE16(block + kKeyLengthOffset);
  header.maxKeys = ReadLE16(block + kMaxKeysOffset);
  header.numeric = ReadLE16(block + kKeyTypeOffset) != 0;
  header.entrySize = ReadLE16(block + kEntrySizeOffset);
  header.unique = block[kUniqueOffset] != 0;
  const auto* text = reinterpret_cast<const char*>(block + kExpressionOffset);
  header.keyExpression.assign(text, strnlen(text, kNdxBlockSize - kExpressionOffset));
  if (header.keyLength < 1 || header.keyLength > kMaxKeyLength) {
    throw NdxLayoutError("the key length " + std::to_string(header.keyLength) + " is not 1 to 100");
  }
  if (header.numeric && header.keyLength != kNdxNumericKeyLength) {
    throw NdxLayoutError("a numeric key of length " + std::to_string(header.keyLength));
  }
  if (header.entrySize < header.keyLength + 8 || header.entrySize % 4 != 0 || header.maxKeys < 2 ||
      kNodeEntriesOffset + header.maxKeys * header.entrySize + 4 >
          static_cast<int>(kNdxBlockSize)) {
    throw NdxLayoutError("entry size " + std::to_string(header.entrySize) + " and " +
                         std::to_string(header.maxKeys) + " keys per node do not fit a block");
  }
  if (header.root == 0 || std::uint64_t{header.root + 1} * kNdxBlockSize > fileSize) {
    throw NdxLayoutError("the root block " + std::to_string(header.root) +
                         " is not inside the file");
  }
  if (header.keyExpression.empty()) throw NdxLayoutError("the key expression is empty");
  return header;
}

void NdxWriteHeader(const NdxHeader& header, std::uint8_t* block) {
  std::memset(block, 0, kNdxBlockSize);
  WriteLE32(block + kRootOffset, header.root);
  WriteLE32(block + kNextBlockOffset, header.nextBlock);
  WriteLE16(block + kKeyLengthOffset, static_cast<std::uint16_t>(header.keyLength));
  WriteLE16(block + kMaxKeysOffset, static_cast<std::uint16_t>(header.maxKeys));
  WriteLE16(block + kKeyTypeOffset, header.numeric ? 1 : 0);
  WriteLE16(block + kEntrySizeOffset, static_cast<std::uint16_t>(header.entrySize));
  block[kUniqueOffset] = header.unique ? 1 : 0;
  const std::size_t length =
      std::min<std::size_t>(header.keyExpression.size(), kNdxBlockSize - kExpressionOffset - 1);
  std::memcpy(block + kExpressionOffset, header.keyExpression.data(), length);
}

NdxStoredNode NdxReadNode(const NdxHeader& header, const std::uint8_t* block) {
  const std::uint32_t count = ReadLE32(block);
  if (count > static_cast<std::uint32_t>(header.maxKeys)) {
    throw NdxLayoutError("the node claims " + std::to_string(count) + " keys; at most " +
                         std::to_string(header.maxKeys) + " fit");
  }
  NdxStoredNode node;
  const auto at = [&](std::uint32_t i) {
    return block + kNodeEntriesOffset + i * static_cast<std::uint32_t>(header.entrySize);
  };
  node.leaf = count == 0 || ReadLE32(at(0)) == 0;
  const std::uint32_t entries = node.leaf ? count : count + 1;
  for (std::uint32_t i = 0; i < entries; ++i) {
    NdxStoredEntry entry;
    entry.child = ReadLE32(at(i));
    // The pointer after an interior node's last key may end the block: it has no record.
    if (i < count) {
      entry.record = ReadLE32(at(i) + 4);
      entry.key.assign(reinterpret_cast<const char*>(at(i) + kEntryKeyOffset),
                       static_cast<std::size_t>(header.keyLength));
    }
    if (node.leaf ? entry.child != 0 : entry.child == 0) {
      throw NdxLayoutError("entry " + std::to_string(i) + " mixes leaf and interior pointers");
    }
    node.entries.push_back(std::move(entry));
  }
  return node;
}

void NdxWriteNode(const NdxHeader& header, const NdxStoredNode& node, std::uint8_t* block) {
  std::memset(block, 0, kNdxBlockSize);
  const auto count =
      static_cast<std::uint32_t>(node.leaf ? node.entries.size() : node.entries.size() - 1);
  WriteLE32(block, count);
  for (std::uint32_t i = 0; i < node.entries.size(); ++i) {
    std::uint8_t* at =
        block + kNodeEntriesOffset + i * static_cast<std::uint32_t>(header.entrySize);
    const NdxStoredEntry& entry = node.entries[i];
    WriteLE32(at, entry.child);
    if (i < count) {
      WriteLE32(at + 4, entry.record);
      std::memcpy(
          at + kEntryKeyOffset, entry.key.data(),
          std::min<std::size_t>(entry.key.size(), static_cast<std::size_t>(header.keyLength)));
    }
  }
}

}  // namespace tables
