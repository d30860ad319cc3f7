#include "tables/index/ntx_tag.hpp"

#include "tables/index/cdx_key.hpp"
#include "tables/index/ntx_key.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kTypeMismatch = "Variant types mismatch for compare";

XbFamilyTagFacts NtxFacts(const NtxHeader& header, XbKeyType keyType) {
  XbFamilyTagFacts facts;
  facts.keyExpression = header.keyExpression;
  facts.forExpression = header.forExpression;
  facts.keyType = keyType;
  facts.keyLength = header.keyLength;
  facts.decimals = header.decimals;
  facts.unique = header.unique;
  facts.descending = header.descending;
  return facts;
}

}  // namespace

XBobjNTXTag::XBobjNTXTag(XBobjIndexFile& file, std::string name, const NtxHeader& header,
                         XbKeyType keyType)
    : XBobjFamilyTag(file, std::move(name), NtxFacts(header, keyType)),
      header_(header),
      treeVersion_(header.version) {
  SetKeyTraits(keyType == XbKeyType::Character || keyType == XbKeyType::Logical, header.descending,
               header.unique);
  SetStoredOrder(false, false);
}

void XBobjNTXTag::SetHeader(const NtxHeader& header) {
  header_ = header;
  treeVersion_ = header.version;
  ForgetPath();
}

std::string XBobjNTXTag::ConvertKey(const TxbVariant& value) const {
  const auto length = static_cast<std::size_t>(header_.keyLength);
  switch (value.type()) {
    case TxbVariant::Raw:
    case TxbVariant::Text: {
      std::string key(CdxTrimBlanks(value.bytes()));
      if (key.size() > length) key.resize(length);
      return key;
    }
    case TxbVariant::Logical:
      return value.AsLogical() ? "T" : "F";
    case TxbVariant::Number:
      if (facts_.keyType == XbKeyType::Numeric) {
        return NtxNumberKey(value.AsNumber(), header_.keyLength, header_.decimals);
      }
      break;
    case TxbVariant::Date:
      if (facts_.keyType == XbKeyType::Date) return NtxDateKey(value.AsDate());
      break;
    default:
      break;
  }
  throw EXbaseError(kTypeMismatch);
}

TxbVariant XBobjNTXTag::KeyValue(std::string_view key) const {
  TxbVariant value;
  if (facts_.keyType == XbKeyType::Numeric) {
    value.SetNumber(NtxKeyNumber(key).value_or(0));
  } else if (facts_.keyType == XbKeyType::Date) {
    value.SetDate(NtxKeyDate(key).value_or(0));
  } else {
    value.SetText(key);
  }
  return value;
}

std::string XBobjNTXTag::StoredKey(std::string_view key) const {
  std::string stored(key);
  stored.resize(static_cast<std::size_t>(header_.keyLength), ' ');
  return stored;
}

std::string XBobjNTXTag::KeyFromStored(std::string_view stored) const {
  if (facts_.keyType == XbKeyType::Numeric) {
    if (const auto number = NtxKeyNumber(stored)) {
      return NtxNumberKey(*number, header_.keyLength, header_.decimals);
    }
  } else if (facts_.keyType == XbKeyType::Date) {
    const std::string_view text = CdxTrimBlanks(stored);
    if (text.empty()) return kNtxEmptyDateKey;
  }
  return std::string(CdxTrimBlanks(stored));
}

NtxStoredPage XBobjNTXTag::ReadStoredPage(std::uint32_t page) {
  CountNodeRead(page);
  std::uint8_t bytes[kNtxPageSize];
  if (page < kNtxPageSize || page % kNtxPageSize != 0 ||
      !file().TryReadBlock(page, bytes, kNtxPageSize)) {
    NodeFault(page, "the page lies outside the file");
  }
  NtxStoredPage stored;
  try {
    stored = NtxReadPage(header_, bytes);
  } catch (const NtxLayoutError& error) {
    NodeFault(page, error.what());
  }
  return stored;
}

void XBobjNTXTag::ReadNode(std::uint32_t page, XBobjIndexKey& node) {
  const std::uint32_t slot = page % kNtxPageSize;
  if (slot != 0) return ReadEntryLeaf(page - slot, slot - 1, node);
  const NtxStoredPage stored = ReadStoredPage(page);
  node.page = page;
  node.leaf = stored.leaf;
  node.root = page == header_.root;
  node.position = -1;
  node.entries.clear();
  for (std::size_t i = 0; i < stored.entries.size(); ++i) {
    const NtxStoredEntry& entry = stored.entries[i];
    const auto record = static_cast<std::int32_t>(entry.record);
    if (stored.leaf) {
      node.entries.push_back({KeyFromStored(entry.key), record, entry.record});
      continue;
    }
    if (entry.child % kNtxPageSize != 0) NodeFault(page, "a child is not a page offset");
    if (i + 1 == stored.entries.size()) {
      node.entries.push_back({LastPointerKey(false), 0, entry.child});
      continue;
    }
    std::string key = KeyFromStored(entry.key);
    node.entries.push_back({key, record, entry.child});
    node.entries.push_back({std::move(key), record, page + 1 + static_cast<std::uint32_t>(i)});
  }
}

void XBobjNTXTag::ReadEntryLeaf(std::uint32_t page, std::uint32_t slot, XBobjIndexKey& node) {
  const NtxStoredPage stored = ReadStoredPage(page);
  if (stored.leaf || slot + 1 >= stored.entries.size()) {
    NodeFault(page, "slot " + std::to_string(slot) + " is not a key of an interior page");
  }
  const NtxStoredEntry& entry = stored.entries[slot];
  node.page = page + 1 + slot;
  node.leaf = true;
  node.root = false;
  node.position = -1;
  node.entries.clear();
  node.entries.push_back(
      {KeyFromStored(entry.key), static_cast<std::int32_t>(entry.record), entry.record});
}

}  // namespace tables
