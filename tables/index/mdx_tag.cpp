#include "tables/index/mdx_tag.hpp"

#include <vector>

#include "tables/index/cdx_key.hpp"
#include "tables/index/mdx_key.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr const char* kTypeMismatch = "Variant types mismatch for compare";

XbFamilyTagFacts MdxFacts(const MdxTagHeader& header) {
  XbFamilyTagFacts facts;
  facts.keyExpression = header.keyExpression;
  facts.forExpression = header.forExpression;
  facts.keyType = MdxKeyType(header.keyType);
  facts.keyLength = header.keyLength;
  facts.unique = header.unique;
  facts.descending = header.descending;
  return facts;
}

}  // namespace

XbKeyType MdxKeyType(char letter) {
  return letter == 'N'   ? XbKeyType::Numeric
         : letter == 'D' ? XbKeyType::Date
                         : XbKeyType::Character;
}

XBobjMDXTag::XBobjMDXTag(XBobjIndexFile& file, std::string name, std::uint32_t headerUnit,
                         const MdxTagHeader& header, int blockLength)
    : XBobjFamilyTag(file, std::move(name), MdxFacts(header)),
      headerUnit_(headerUnit),
      header_(header),
      blockLength_(blockLength) {
  if ((header.keyType == 'N' && header.keyLength != kMdxNumericKeyLength) ||
      (header.keyType == 'D' && header.keyLength != kMdxDateKeyLength)) {
    throw MdxLayoutError("a key of type " + std::string(1, header.keyType) + " and length " +
                         std::to_string(header.keyLength));
  }
  SetKeyTraits(header.keyType == 'C', false, header.unique);
  SetStoredOrder(false, header.descending);
  storesDescending_ = header.descending;
}

void XBobjMDXTag::WriteHeader(std::uint32_t rootUnit) {
  header_.rootUnit = rootUnit;
  header_.firstUnit = rootUnit;
  header_.lastUnit = rootUnit;
  std::vector<std::uint8_t> block(static_cast<std::size_t>(blockLength_));
  MdxWriteTagHeader(header_, block.data(), blockLength_);
  file().WriteBlock(headerUnit_ * kMdxUnit, block.data(), static_cast<std::uint32_t>(blockLength_));
  ForgetPath();
}

std::string XBobjMDXTag::ConvertKey(const TxbVariant& value) const {
  const auto length = static_cast<std::size_t>(header_.keyLength);
  switch (value.type()) {
    case TxbVariant::Raw:
      return std::string(value.bytes().substr(0, header_.keyType == 'C' ? length : 8));
    case TxbVariant::Text:
      if (header_.keyType == 'C') {
        std::string key(CdxTrimBlanks(value.bytes()));
        if (key.size() > length) key.resize(length);
        return key;
      }
      break;
    case TxbVariant::Logical:
      if (header_.keyType == 'C') return value.AsLogical() ? "T" : "F";
      break;
    case TxbVariant::Number:
      if (header_.keyType == 'N') return CdxNumberKey(MdxKeyNumber(MdxNumberKey(value.AsNumber())));
      break;
    case TxbVariant::Date:
      if (header_.keyType == 'D') return CdxNumberKey(value.AsDate() > 0 ? value.AsDate() : 0);
      break;
    default:
      break;
  }
  throw EXbaseError(kTypeMismatch);
}

TxbVariant XBobjMDXTag::KeyValue(std::string_view key) const {
  TxbVariant value;
  if (header_.keyType == 'N') {
    value.SetNumber(CdxKeyNumber(key));
  } else if (header_.keyType == 'D') {
    const double julian = CdxKeyNumber(key);
    value.SetDate(julian >= 1 && julian < 1e9 ? static_cast<std::int32_t>(julian) : 0);
  } else {
    value.SetText(key);
  }
  return value;
}

std::string XBobjMDXTag::StoredKey(std::string_view key) const {
  if (header_.keyType == 'N') return MdxNumberKey(CdxKeyNumber(key));
  if (header_.keyType == 'D') {
    std::string stored(8, '\0');
    WriteLEDouble(reinterpret_cast<std::uint8_t*>(stored.data()), CdxKeyNumber(key));
    return stored;
  }
  std::string stored(key);
  stored.resize(static_cast<std::size_t>(header_.keyLength), ' ');
  return stored;
}

void XBobjMDXTag::ReadNode(std::uint32_t page, XBobjIndexKey& node) {
  std::vector<std::uint8_t> block(static_cast<std::size_t>(blockLength_));
  if (page < 4 * kMdxUnit || page % kMdxUnit != 0 ||
      !file().TryReadBlock(page, block.data(), static_cast<std::uint32_t>(blockLength_))) {
    NodeFault(page, "the block lies outside the file");
  }
  CountNodeRead(page);
  MdxStoredNode stored;
  try {
    stored = MdxReadNode(header_, block.data());
  } catch (const MdxLayoutError& error) {
    NodeFault(page, error.what());
  }
  node.page = page;
  node.leaf = stored.leaf;
  node.root = page == header_.rootUnit * kMdxUnit;
  node.position = -1;
  node.entries.clear();
  for (std::size_t i = 0; i < stored.entries.size(); ++i) {
    const MdxStoredEntry& entry = stored.entries[i];
    XBobjIndexKeyData data;
    if (!stored.leaf && i + 1 == stored.entries.size()) {
      data.key = LastPointerKey(header_.descending);
    } else if (header_.keyType == 'N') {
      data.key = CdxNumberKey(MdxKeyNumber(entry.key));
    } else if (header_.keyType == 'D') {
      data.key =
          CdxNumberKey(ReadLEDouble(reinterpret_cast<const std::uint8_t*>(entry.key.data())));
    } else {
      data.key = std::string(CdxTrimBlanks(entry.key));
    }
    if (stored.leaf) {
      data.record = static_cast<std::int32_t>(entry.pointer);
      data.pointer = entry.pointer;
    } else {
      if (entry.pointer >= 0x800000) NodeFault(page, "a child block number is out of range");
      data.pointer = entry.pointer * kMdxUnit;
    }
    node.entries.push_back(std::move(data));
  }
}

}  // namespace tables
