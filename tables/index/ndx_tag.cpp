#include "tables/index/ndx_tag.hpp"

#include "tables/index/cdx_key.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kTypeMismatch = "Variant types mismatch for compare";

}  // namespace

XbFamilyTagFacts NdxFacts(XBobjIndexFile& file, const NdxHeader& header) {
  XbFamilyTagFacts facts;
  facts.keyExpression = header.keyExpression;
  facts.keyLength = header.keyLength;
  facts.unique = header.unique;
  facts.keyType = XbKeyType::Character;
  if (header.numeric) {
    const auto learned = XBobjFamilyTag::LearnExpressionKey(file, header.keyExpression);
    facts.keyType =
        learned && learned->type == XbKeyType::Date ? XbKeyType::Date : XbKeyType::Numeric;
  }
  return facts;
}

XBobjNDXTag::XBobjNDXTag(XBobjIndexFile& file, std::string name, const NdxHeader& header)
    : XBobjFamilyTag(file, std::move(name), NdxFacts(file, header)), header_(header) {
  SetKeyTraits(!header.numeric, false, header.unique);
  SetStoredOrder(false, false);
}

void XBobjNDXTag::SetHeader(const NdxHeader& header) {
  header_ = header;
  ForgetPath();
}

std::string XBobjNDXTag::ConvertKey(const TxbVariant& value) const {
  const auto length = static_cast<std::size_t>(header_.keyLength);
  switch (value.type()) {
    case TxbVariant::Raw:
      return std::string(value.bytes().substr(0, header_.numeric ? 8 : length));
    case TxbVariant::Text:
      if (!header_.numeric) {
        std::string key(CdxTrimBlanks(value.bytes()));
        if (key.size() > length) key.resize(length);
        return key;
      }
      break;
    case TxbVariant::Logical:
      if (!header_.numeric) return value.AsLogical() ? "T" : "F";
      break;
    case TxbVariant::Number:
      if (header_.numeric) return CdxNumberKey(value.AsNumber());
      break;
    case TxbVariant::Date:
      if (header_.numeric) {
        return CdxNumberKey(value.AsDate() > 0 ? value.AsDate() : kNdxEmptyDate);
      }
      return std::string(CdxTrimBlanks(XbDate().StorageText(value.AsDate())));
    default:
      break;
  }
  throw EXbaseError(kTypeMismatch);
}

TxbVariant XBobjNDXTag::KeyValue(std::string_view key) const {
  TxbVariant value;
  if (!header_.numeric) {
    value.SetText(key);
  } else if (facts_.keyType == XbKeyType::Date) {
    const double julian = CdxKeyNumber(key);
    value.SetDate(julian >= 0.1 && julian < 1e9 ? static_cast<std::int32_t>(julian) : 0);
  } else {
    value.SetNumber(CdxKeyNumber(key));
  }
  return value;
}

std::string XBobjNDXTag::StoredKey(std::string_view key) const {
  if (!header_.numeric) {
    std::string stored(key);
    stored.resize(static_cast<std::size_t>(header_.keyLength), ' ');
    return stored;
  }
  std::string stored(8, '\0');
  WriteLEDouble(reinterpret_cast<std::uint8_t*>(stored.data()), CdxKeyNumber(key));
  return stored;
}

void XBobjNDXTag::ReadNode(std::uint32_t page, XBobjIndexKey& node) {
  std::uint8_t block[kNdxBlockSize];
  if (page < kNdxBlockSize || page % kNdxBlockSize != 0 ||
      !file().TryReadBlock(page, block, kNdxBlockSize)) {
    NodeFault(page, "the block lies outside the file");
  }
  CountNodeRead(page);
  NdxStoredNode stored;
  try {
    stored = NdxReadNode(header_, block);
  } catch (const NdxLayoutError& error) {
    NodeFault(page, error.what());
  }
  node.page = page;
  node.leaf = stored.leaf;
  node.root = page == header_.root * kNdxBlockSize;
  node.position = -1;
  node.entries.clear();
  for (std::size_t i = 0; i < stored.entries.size(); ++i) {
    const NdxStoredEntry& entry = stored.entries[i];
    XBobjIndexKeyData data;
    const bool lastPointer = !stored.leaf && i + 1 == stored.entries.size();
    if (lastPointer) {
      data.key = LastPointerKey(false);
    } else if (header_.numeric) {
      data.key =
          CdxNumberKey(ReadLEDouble(reinterpret_cast<const std::uint8_t*>(entry.key.data())));
    } else {
      data.key = std::string(CdxTrimBlanks(entry.key));
    }
    data.record = static_cast<std::int32_t>(entry.record);
    if (stored.leaf) {
      data.pointer = entry.record;
    } else {
      if (entry.child >= 0x800000) NodeFault(page, "a child block number is out of range");
      data.pointer = entry.child * kNdxBlockSize;
    }
    node.entries.push_back(std::move(data));
  }
}

}  // namespace tables
