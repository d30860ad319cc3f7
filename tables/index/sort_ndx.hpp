#pragma once
// XBobjSortNdx: the key sort of an NDX tag build and the writing of its B+ tree: leaves and
// interior nodes filled to the header's capacity on new blocks, the top node the root.
#include <cstdint>
#include <string_view>

#include "tables/index/txb_sort.hpp"

namespace tables {

class XBobjIndexFile;
class XBobjNDXTag;

class XBobjSortNdx : public TxbSort {
 public:
  explicit XBobjSortNdx(XBobjNDXTag& tag);

  // Adds a key in its key form.
  void AddKey(std::string_view key, std::int32_t record);
  // Writes the tree on new blocks of the file, reporting phase 2; returns the root block.
  std::uint32_t WriteTree();

 private:
  XBobjNDXTag& tag_;
};

}  // namespace tables
