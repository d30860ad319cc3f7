#include "tables/index/ntx_layout.hpp"

#include <algorithm>
#include <cstring>

#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

constexpr int kVersionOffset = 2;
constexpr int kRootOffset = 4;
constexpr int kNextFreeOffset = 8;
constexpr int kEntrySizeOffset = 12;
constexpr int kKeyLengthOffset = 14;
constexpr int kDecimalsOffset = 16;
constexpr int kMaxKeysOffset = 18;
constexpr int kHalfOffset = 20;
constexpr int kExpressionOffset = 22;
constexpr int kExpressionLength = 256;
constexpr int kUniqueOffset = 278;
constexpr int kDescendingOffset = 279;
// Some writers keep the descending flag one byte further on.
constexpr int kOtherDescendingOffset = 280;
constexpr int kForOffset = 282;
constexpr std::uint16_t kSignature = 6;
constexpr std::uint16_t kForSignature = 7;

std::string Text(const std::uint8_t* at, std::size_t room) {
  const auto* text = reinterpret_cast<const char*>(at);
  return std::string(text, strnlen(text, room));
}

void PutText(std::uint8_t* at, const std::string& text, std::size_t room) {
  std::memcpy(at, text.data(), std::min(text.size(), room - 1));
}

int HalfFor(int keyLength) {
  return (1020 / (keyLength + 10) - 1) / 2;
}

std::uint32_t SlotOffset(const NtxHeader& header, int slot) {
  return static_cast<std::uint32_t>(slot * header.entrySize + 2 * header.maxKeys + 4);
}

}  // namespace

NtxHeader NtxHeaderFor(std::string expression, std::string forExpression, int keyLength,
                       int decimals, bool unique, bool descending) {
  NtxHeader header;
  header.signature = forExpression.empty() ? kSignature : kForSignature;
  header.keyLength = keyLength;
  header.entrySize = keyLength + 8;
  header.decimals = decimals;
  header.half = HalfFor(keyLength);
  header.maxKeys = 2 * header.half;
  header.keyExpression = std::move(expression);
  header.forExpression = std::move(forExpression);
  header.unique = unique;
  header.descending = descending;
  return header;
}

NtxHeader NtxReadHeader(const std::uint8_t* page, std::uint64_t fileSize) {
  NtxHeader header;
  header.signature = ReadLE16(page);
  header.version = ReadLE16(page + kVersionOffset);
  header.root = ReadLE32(page + kRootOffset);
  header.nextFree = ReadLE32(page + kNextFreeOffset);
  header.entrySize = ReadLE16(page + kEntrySizeOffset);
  header.keyLength = ReadLE16(page + kKeyLengthOffset);
  header.decimals = ReadLE16(page + kDecimalsOffset);
  header.maxKeys = ReadLE16(page + kMaxKeysOffset);
  header.half = ReadLE16(page + kHalfOffset);
  header.keyExpression = Text(page + kExpressionOffset, kExpressionLength);
  header.unique = page[kUniqueOffset] != 0;
  header.descending = page[kDescendingOffset] != 0 || page[kOtherDescendingOffset] != 0;
  header.forExpression = Text(page + kForOffset, kExpressionLength);
  if (header.signature != kSignature && header.signature != kForSignature) {
    throw NtxLayoutError("the signature is " + std::to_string(header.signature) + ", not 6 or 7");
  }
  if (header.keyLength < 1 || header.keyLength > kNtxMaxKeyLength ||
      header.entrySize != header.keyLength + 8) {
    throw NtxLayoutError("key length " + std::to_string(header.keyLength) + " and entry size " +
                         std::to_string(header.entrySize) + " do not agree");
  }
  if (header.maxKeys < 2 ||
      SlotOffset(header, header.maxKeys) + static_cast<std::uint32_t>(header.entrySize) >
          kNtxPageSize) {
    throw NtxLayoutError(std::to_string(header.maxKeys) + " keys of " +
                         std::to_string(header.entrySize) + " bytes do not fit a page");
  }
  if (header.root < kNtxPageSize || header.root % kNtxPageSize != 0 ||
      header.root + std::uint64_t{kNtxPageSize} > fileSize) {
    throw NtxLayoutError("the root page " + std::to_string(header.root) +
                         " is not inside the file");
  }
  if (header.keyExpression.empty()) throw NtxLayoutError("the key expression is empty");
  return header;
}

void NtxWriteHeader(const NtxHeader& header, std::uint8_t* page) {
  std::memset(page, 0, kNtxPageSize);
  WriteLE16(page, header.signature);
  WriteLE16(page + kVersionOffset, header.version);
  WriteLE32(page + kRootOffset, header.root);
  WriteLE32(page + kNextFreeOffset, header.nextFree);
  WriteLE16(page + kEntrySizeOffset, static_cast<std::uint16_t>(header.entrySize));
  WriteLE16(page + kKeyLengthOffset, static_cast<std::uint16_t>(header.keyLength));
  WriteLE16(page + kDecimalsOffset, static_cast<std::uint16_t>(header.decimals));
  WriteLE16(page + kMaxKeysOffset, static_cast<std::uint16_t>(header.maxKeys));
  WriteLE16(page + kHalfOffset, static_cast<std::uint16_t>(header.half));
  PutText(page + kExpressionOffset, header.keyExpression, kExpressionLength);
  page[kUniqueOffset] = header.unique ? 1 : 0;
  page[kDescendingOffset] = header.descending ? 1 : 0;
  PutText(page + kForOffset, header.forExpression, kExpressionLength);
}

NtxStoredPage NtxReadPage(const NtxHeader& header, const std::uint8_t* page) {
  const int count = ReadLE16(page);
  if (count > header.maxKeys) {
    throw NtxLayoutError("the page claims " + std::to_string(count) + " keys; at most " +
                         std::to_string(header.maxKeys) + " fit");
  }
  const auto slot = [&](int i) -> const std::uint8_t* {
    const std::uint32_t offset = ReadLE16(page + 2 + 2 * i);
    if (offset < SlotOffset(header, 0) ||
        offset + static_cast<std::uint32_t>(header.entrySize) > kNtxPageSize) {
      throw NtxLayoutError("slot " + std::to_string(i) + " points outside the page");
    }
    return page + offset;
  };
  NtxStoredPage content;
  content.leaf = ReadLE32(slot(0)) == 0;
  const int entries = content.leaf ? count : count + 1;
  for (int i = 0; i < entries; ++i) {
    const std::uint8_t* at = slot(i);
    NtxStoredEntry entry;
    entry.child = ReadLE32(at);
    entry.record = ReadLE32(at + 4);
    if (i < count) {
      entry.key.assign(reinterpret_cast<const char*>(at + 8),
                       static_cast<std::size_t>(header.keyLength));
    }
    if (content.leaf ? entry.child != 0 : entry.child == 0) {
      throw NtxLayoutError("slot " + std::to_string(i) + " mixes leaf and interior pointers");
    }
    content.entries.push_back(std::move(entry));
  }
  return content;
}

void NtxWritePage(const NtxHeader& header, const NtxStoredPage& content, std::uint8_t* page) {
  std::memset(page, 0, kNtxPageSize);
  const auto count = content.leaf ? content.entries.size() : content.entries.size() - 1;
  WriteLE16(page, static_cast<std::uint16_t>(count));
  for (int i = 0; i <= header.maxKeys; ++i) {
    WriteLE16(page + 2 + 2 * i, static_cast<std::uint16_t>(SlotOffset(header, i)));
  }
  for (std::size_t i = 0; i < content.entries.size(); ++i) {
    std::uint8_t* at = page + SlotOffset(header, static_cast<int>(i));
    const NtxStoredEntry& entry = content.entries[i];
    WriteLE32(at, entry.child);
    WriteLE32(at + 4, entry.record);
    std::memcpy(at + 8, entry.key.data(),
                std::min(entry.key.size(), static_cast<std::size_t>(header.keyLength)));
  }
}

}  // namespace tables
