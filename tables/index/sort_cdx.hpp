#pragma once
// XBobjSortCDX: the key sort of a compound tag build and the bottom-up writer that turns its
// ordered keys into a tree: one node buffer per level, each node written when full with its
// right sibling already known (the page the next node of its level will take, or none after
// the last key), its last key passed up to the level above; at the end the highest level is
// the root. Pages reach the file in stretches, all of them before WriteTree returns.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/cdx_layout.hpp"
#include "tables/index/page_write_behind.hpp"
#include "tables/index/txb_sort.hpp"

namespace tables {

class XBobjIndexFile;

class XBobjSortCDX : public TxbSort {
 public:
  // highestRecord: the table's record count (fixes the leaf bit widths).
  XBobjSortCDX(XBobjIndexFile& file, const CdxKeyForm& form, bool unique,
               std::uint32_t highestRecord);

  // Adds a key in its key form.
  void AddKey(std::string_view key, std::int32_t record);
  // Writes the tree of every key added on new pages of the file, reporting each key's ordinal
  // as a phase-2 step; returns the root page. Without keys the root is an empty leaf.
  std::uint32_t WriteTree();

 private:
  struct Level {
    std::uint32_t page = 0;
    std::uint32_t left = kNoPage;
    std::optional<CdxLeafWriter> leaf;
    std::vector<XBobjIndexKeyData> entries;
    std::string lastKey;  // set once the node is full or the keys end
    std::int32_t lastRecord = 0;
    bool empty() const { return leaf ? leaf->count() == 0 : entries.empty(); }
  };

  void AddEntry(std::size_t level, const std::string& key, std::int32_t record, std::uint32_t child,
                bool lastKey);
  bool Full(const Level& level) const;
  void WriteLevel(std::size_t level, std::uint16_t attribute, std::uint32_t right);
  std::uint32_t Finish();

  XBobjIndexFile& file_;
  XbPageWriteBehind pages_;
  CdxKeyForm form_;
  CdxLeafLayout layout_;
  std::vector<Level> levels_;
};

}  // namespace tables
