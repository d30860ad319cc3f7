#pragma once
// XBobjSortNTX: the key sort of an NTX tag build and the writing of its B-tree bottom-up:
// pages filled to the maximum in key order; the key after a full page goes up as an entry of
// the level above, with the full page as its child; a page is written when it is full, on
// the next free page, so pages follow in the order they fill. At the end a last leaf holding
// fewer than half the maximum shares the keys of its full left neighbour, as other Clipper
// index writers do, and every level is closed from the bottom up; the top page is the root.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/ntx_layout.hpp"
#include "tables/index/txb_sort.hpp"

namespace tables {

class XBobjNTXTag;

class XBobjSortNTX : public TxbSort {
 public:
  explicit XBobjSortNTX(XBobjNTXTag& tag);

  void AddKey(std::string_view key, std::int32_t record);
  // Writes the tree on pages from firstPage on, reporting phase 2; returns the root offset
  // and leaves nextPage after the last page written.
  std::uint32_t WriteTree(std::uint32_t firstPage);
  std::uint32_t nextPage() const { return nextPage_; }

 private:
  struct Level {
    std::vector<NtxStoredEntry> entries;  // key entries; in a leaf without child
  };

  void Place(const NtxStoredEntry& entry);
  void AddAbove(std::size_t level, NtxStoredEntry entry);
  std::uint32_t WritePage(const NtxStoredPage& content, std::uint32_t at);
  std::uint32_t Finish();
  void BalanceLastLeaf();

  XBobjNTXTag& tag_;
  std::vector<Level> levels_;
  std::uint32_t nextPage_ = 0;
  // The last full leaf written, kept to share its keys with a short last leaf.
  std::vector<NtxStoredEntry> lastFull_;
  std::uint32_t lastFullPage_ = 0;
};

}  // namespace tables
