#pragma once
// CdxTreeEditor: inserts and removes single key entries in one compound tag's tree and writes
// the nodes it changed before the call returns. Only the root-to-leaf path of the entry is
// read. A node that outgrows its page is split: leaves give their leading entries (those
// whose running size stays below 250 bytes) to a new page on their left, interior nodes their
// first count - count / 2 entries; a root that splits keeps its page and becomes the interior
// node above both halves. A node emptied by a removal leaves its parent and its sibling chain;
// an emptied root ends as an empty root leaf. Called with the index file locked and its next
// free page known (taken from the file size when the file is shared). Interior nodes on the
// way down are only searched on their page bytes, and decoded in full when a change reaches
// them; the nodes' storage is used again from one change to the next.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/index/cdx_layout.hpp"
#include "tables/index/index_key.hpp"
#include "tables/index/node_search.hpp"
#include "tables/index/tree_path.hpp"

namespace tables {

// Where a node's entries are cut into pages, as the end of each part (one part: no split).
// Leaves: while the entries take 488 bytes or more, the leading ones whose running size stays
// below 250 bytes (at least one) make a part. Interior nodes: while more than capacity remain,
// the first count - count / 2 of them make a part.
std::vector<std::size_t> CdxLeafCuts(const CdxKeyForm& form, const CdxLeafLayout& layout,
                                     const std::vector<XBobjIndexKeyData>& entries);
std::vector<std::size_t> CdxInteriorCuts(std::size_t count, std::size_t capacity);

class XBobjCDXTag;
class XBobjIndexFile;

class CdxTreeEditor {
 public:
  CdxTreeEditor(XBobjCDXTag& tag, XBobjIndexFile& file);

  // The table's record count (fixes the leaf bit widths of leaves written).
  void SetHighestRecord(std::uint32_t highestRecord) { highestRecord_ = highestRecord; }

  // Keys in the tag's key form; longer ones are cut to the key length.
  // Whether the tree holds the entry (key, record).
  bool Holds(std::string_view key, std::int32_t record);
  // Inserts (key, record); false when the entry is there already or, in a unique tag, some
  // entry holds key.
  bool Insert(std::string_view key, std::int32_t record);
  // Removes (key, record); false when there is no such entry.
  bool Remove(std::string_view key, std::int32_t record);

 private:
  using Level = XbTreeLevel;

  // The key cut to the tag's key length.
  std::string_view Cut(std::string_view key) const;
  // Walks down to the leaf position of the first entry not smaller than (key, record); the
  // position is the leaf's entry count when every entry is smaller. Record 0 is below all.
  XBobjIndexKey& Locate(std::string_view key, std::int32_t record);
  void PushNode(std::uint32_t page, const XBobjNodeSearch& search);
  // The node at level decoded in full, its position kept.
  XBobjIndexKey& Decoded(std::size_t level);
  // Moves the path's nodes to the spares.
  void ClearPath();
  // Gives the parents of level the new last key of that level's node, as far up as it is
  // their last entry too.
  void RaiseLastKey(std::size_t level);
  // Takes the emptied node at level out of its parent and its sibling chain.
  void DropEmptied(std::size_t level);
  // Points the sibling field (4 left, 8 right) of page, which must hold expected, at value.
  void PatchSibling(std::uint32_t page, int field, std::uint32_t expected, std::uint32_t value);
  // Writes every changed node from the leaf up.
  void Flush();
  // Writes the node at level, split as needed; true when a new root was placed above it.
  bool WriteLevel(std::size_t level);
  void WriteNode(const XBobjIndexKey& node, std::size_t first, std::size_t end, std::uint32_t page,
                 bool root, std::uint32_t left, std::uint32_t right);
  std::uint32_t LeafRecordLimit(std::span<const XBobjIndexKeyData> entries) const;
  // Whether the leaf's entries fit in one page.
  bool LeafFits(const XBobjIndexKey& leaf);
  // The bytes a leaf stores for key (before its trailing count), in scratch when they differ.
  std::string_view LeafKeyBytes(std::string_view key, std::string& scratch) const;

  XBobjCDXTag& tag_;
  XBobjIndexFile& file_;
  std::uint32_t highestRecord_ = 0;
  std::vector<Level> path_;
  std::vector<XBobjIndexKey> spare_;
  std::string leafBytes_[2];  // the stored bytes of two neighbouring keys, when converted
};

}  // namespace tables
