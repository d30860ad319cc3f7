#pragma once
// XBobjNDXTag: the one tag of an NDX file: its header block, key conversion (text, or doubles
// kept in memory in the sortable byte form of numeric keys) and the reading of its nodes.
// The key type in the header wins over the expression's: a date field indexed with text keys
// seeks and walks by its YYYYMMDD text.
#include <cstdint>
#include <string>

#include "tables/index/family_tag.hpp"
#include "tables/index/ndx_layout.hpp"

namespace tables {

class XBobjNDXTag : public XBobjFamilyTag {
 public:
  // The tag of a header read from the file.
  XBobjNDXTag(XBobjIndexFile& file, std::string name, const NdxHeader& header);

  std::string ConvertKey(const TxbVariant& value) const override;
  TxbVariant KeyValue(std::string_view key) const override;
  std::uint32_t ReadRootOffset() override {
    return PathRootRead(header_.root * kNdxBlockSize, kNdxBlockSize, header_.maxKeys);
  }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override;

  const NdxHeader& header() const { return header_; }
  void SetHeader(const NdxHeader& header);
  // A key form as the node stores it (blank-padded text, or the double).
  std::string StoredKey(std::string_view key) const;

 private:
  NdxHeader header_;
};

// The facts of an NDX header: the key type from the header, a numeric header whose expression
// gives a date being a date tag.
XbFamilyTagFacts NdxFacts(XBobjIndexFile& file, const NdxHeader& header);

}  // namespace tables
