#pragma once
// XBobjMDXTag: one tag of an MDX file: its header block, its key conversion (text; numbers
// and dates kept in memory in the sortable byte form of numeric keys) and the reading of its
// nodes. A descending tag is stored from its greatest key, so its comparisons are negated and
// it is walked forwards.
#include <cstdint>
#include <string>

#include "tables/index/family_tag.hpp"
#include "tables/index/mdx_layout.hpp"

namespace tables {

class XBobjMDXTag : public XBobjFamilyTag {
 public:
  XBobjMDXTag(XBobjIndexFile& file, std::string name, std::uint32_t headerUnit,
              const MdxTagHeader& header, int blockLength);

  std::string ConvertKey(const TxbVariant& value) const override;
  TxbVariant KeyValue(std::string_view key) const override;
  std::uint32_t ReadRootOffset() override {
    return PathRootRead(header_.rootUnit * kMdxUnit, kMdxUnit, header_.maxKeys);
  }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override;

  const MdxTagHeader& header() const { return header_; }
  std::uint32_t headerUnit() const { return headerUnit_; }
  void MoveHeader(std::uint32_t unit) { headerUnit_ = unit; }
  // Writes the header block with the root given (also the two block numbers the tag keeps).
  void WriteHeader(std::uint32_t rootUnit);
  // A key form as a node stores it.
  std::string StoredKey(std::string_view key) const;

 private:
  std::uint32_t headerUnit_;
  MdxTagHeader header_;
  int blockLength_;
};

XbKeyType MdxKeyType(char letter);

}  // namespace tables
