#pragma once
// XBobjSortMDX: the key sort of an MDX tag build (descending for a descending tag, which the
// file stores from its greatest key) and the writing of its B+ tree on new blocks.
#include <cstdint>
#include <functional>
#include <string_view>

#include "tables/index/txb_sort.hpp"

namespace tables {

class XBobjMDXTag;

class XBobjSortMDX : public TxbSort {
 public:
  // allocate() gives the unit number of a new block.
  XBobjSortMDX(XBobjMDXTag& tag, int blockLength, std::function<std::uint32_t()> allocate);

  void AddKey(std::string_view key, std::int32_t record);
  // Writes the tree, reporting phase 2; returns the root's unit number.
  std::uint32_t WriteTree();

 private:
  XBobjMDXTag& tag_;
  int blockLength_;
  std::function<std::uint32_t()> allocate_;
};

}  // namespace tables
