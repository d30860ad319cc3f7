#include "tables/index/cdx_tree_editor.hpp"

#include <algorithm>

#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_tag.hpp"
#include "tables/storage/byte_order.hpp"

namespace tables {
namespace {

// A leaf whose entries take this many bytes or more is split.
constexpr int kLeafSplitSize = kCdxKeyAreaSize;
// The entries a leaf gives to its new left neighbour stay below this many bytes.
constexpr int kLeafLeadSize = 250;
constexpr int kLeftField = 4;
constexpr int kRightField = 8;

int CompareEntry(std::string_view key, std::int32_t record, const XBobjIndexKeyData& entry) {
  const int order = CdxCompareKeys(key, entry.key);
  if (order != 0 || record == entry.record) return order;
  return record < entry.record ? -1 : 1;
}

XBobjIndexKeyData LastOf(const XBobjIndexKey& node, std::size_t end, std::uint32_t page) {
  const XBobjIndexKeyData& last = node.entries[end - 1];
  return {last.key, last.record, page};
}

}  // namespace

std::vector<std::size_t> CdxLeafCuts(const CdxKeyForm& form, const CdxLeafLayout& layout,
                                     const std::vector<XBobjIndexKeyData>& entries) {
  // The bytes each entry takes after the one before it, and as the first entry of a leaf.
  std::vector<int> sizes;
  std::vector<int> wholeSizes;
  std::string previous;
  for (const XBobjIndexKeyData& entry : entries) {
    std::string bytes = CdxLeafKeyBytes(form, entry.key);
    const auto shared = static_cast<int>(CdxSharedLength(bytes, previous));
    wholeSizes.push_back(layout.entryBytes + static_cast<int>(bytes.size()));
    sizes.push_back(wholeSizes.back() - (sizes.empty() ? 0 : shared));
    previous = std::move(bytes);
  }
  std::vector<std::size_t> cuts;
  std::size_t start = 0;
  for (;;) {
    int total = 0;
    std::size_t lead = start;
    for (std::size_t i = start; i < entries.size(); ++i) {
      total += i == start ? wholeSizes[i] : sizes[i];
      if (total < kLeafLeadSize || i == start) lead = i + 1;
    }
    if (total < kLeafSplitSize) break;
    cuts.push_back(lead);
    start = lead;
  }
  cuts.push_back(entries.size());
  return cuts;
}

std::vector<std::size_t> CdxInteriorCuts(std::size_t count, std::size_t capacity) {
  std::vector<std::size_t> cuts;
  std::size_t start = 0;
  while (count - start > capacity) {
    const std::size_t rest = count - start;
    start += std::min(rest - rest / 2, capacity);
    cuts.push_back(start);
  }
  cuts.push_back(count);
  return cuts;
}

CdxTreeEditor::CdxTreeEditor(XBobjCDXTag& tag, XBobjIndexFile& file) : tag_(tag), file_(file) {}

void CdxTreeEditor::ClearPath() {
  // The root's storage goes last, to be taken first: each level gets the storage it had, sized
  // for nodes like its own.
  for (auto level = path_.rbegin(); level != path_.rend(); ++level)
    spare_.push_back(std::move(level->node));
  path_.clear();
}

void CdxTreeEditor::PushNode(std::uint32_t page, const XBobjNodeSearch& search) {
  if (const std::optional<XbPathFault> fault = XbDescentFault(path_, page)) {
    tag_.NodeFault(fault->page, fault->reason);
  }
  Level level;
  if (!spare_.empty()) {
    level.node = std::move(spare_.back());
    spare_.pop_back();
  }
  tag_.ReadPathNode(page, search, level.node);
  if (!path_.empty() && level.node.root) {
    tag_.NodeFault(page, "a node below the root is marked as a root");
  }
  path_.push_back(std::move(level));
}

XBobjIndexKey& CdxTreeEditor::Decoded(std::size_t level) {
  XBobjIndexKey& node = path_[level].node;
  if (!node.partial) return node;
  const int position = node.position;
  tag_.ReadNode(node.page, node);
  if (position >= static_cast<int>(node.entries.size())) {
    tag_.NodeFault(node.page, "the node changed while it was read");
  }
  node.position = position;
  return node;
}

XBobjIndexKey& CdxTreeEditor::Locate(std::string_view key, std::int32_t record) {
  ClearPath();
  XBobjNodeSearch search;
  search.probe = key;
  search.record = record;
  // Not ReadRootOffset: that would tell the tag its own path is current.
  PushNode(tag_.header().root, search);
  for (;;) {
    Level& level = path_.back();
    XBobjIndexKey& node = level.node;
    if (!node.leaf && node.entries.empty()) {
      if (path_.size() > 1) tag_.NodeFault(node.page, "an interior node below the root is empty");
      // An interior root without entries holds nothing: it becomes the empty root leaf.
      node.leaf = true;
      level.changed = true;
    }
    // A node searched on its page bytes already stands on the entry the search stopped at.
    if (!node.partial) {
      const auto count = static_cast<int>(node.entries.size());
      int position = 0;
      while (position < count &&
             CompareEntry(key, record, node.entries[static_cast<std::size_t>(position)]) > 0) {
        ++position;
      }
      node.position = node.leaf ? position : std::min(position, count - 1);
    }
    if (node.leaf) return node;
    PushNode(node.Current().pointer, search);
  }
}

std::string_view CdxTreeEditor::Cut(std::string_view key) const {
  return key.substr(0, static_cast<std::size_t>(tag_.keyForm().keyLength));
}

bool CdxTreeEditor::Holds(std::string_view key, std::int32_t record) {
  key = Cut(key);
  const XBobjIndexKey& leaf = Locate(key, record);
  const auto position = static_cast<std::size_t>(leaf.position);
  return position < leaf.entries.size() && CompareEntry(key, record, leaf.entries[position]) == 0;
}

bool CdxTreeEditor::Insert(std::string_view key, std::int32_t record) {
  key = Cut(key);
  if (tag_.unique()) {
    const XBobjIndexKey& leaf = Locate(key, 0);
    const auto position = static_cast<std::size_t>(leaf.position);
    if (position < leaf.entries.size() && leaf.entries[position].key == key) return false;
  }
  if (Holds(key, record)) return false;
  XBobjIndexKey& leaf = path_.back().node;
  const auto position = static_cast<std::size_t>(leaf.position);
  leaf.entries.insert(
      leaf.entries.begin() + static_cast<std::ptrdiff_t>(position),
      XBobjIndexKeyData{std::string(key), record, static_cast<std::uint32_t>(record)});
  path_.back().changed = true;
  if (position + 1 == leaf.entries.size()) RaiseLastKey(path_.size() - 1);
  Flush();
  return true;
}

bool CdxTreeEditor::Remove(std::string_view key, std::int32_t record) {
  key = Cut(key);
  if (!Holds(key, record)) return false;
  XBobjIndexKey& leaf = path_.back().node;
  const auto position = static_cast<std::size_t>(leaf.position);
  leaf.entries.erase(leaf.entries.begin() + static_cast<std::ptrdiff_t>(position));
  path_.back().changed = true;
  if (leaf.entries.empty()) {
    DropEmptied(path_.size() - 1);
  } else if (position == leaf.entries.size()) {
    RaiseLastKey(path_.size() - 1);
  }
  Flush();
  return true;
}

void CdxTreeEditor::RaiseLastKey(std::size_t level) {
  for (; level > 0; --level) {
    const XBobjIndexKey& node = path_[level].node;
    XBobjIndexKey& parent = Decoded(level - 1);
    XBobjIndexKeyData& entry = parent.entries[static_cast<std::size_t>(parent.position)];
    entry.key = node.entries.back().key;
    entry.record = node.entries.back().record;
    path_[level - 1].changed = true;
    if (parent.position + 1 != static_cast<int>(parent.entries.size())) return;
  }
}

void CdxTreeEditor::DropEmptied(std::size_t level) {
  if (level == 0) {
    // The root stays, as an empty leaf: its former children are dead pages now.
    path_[0].node.leaf = true;
    path_[0].node.entries.clear();
    path_[0].changed = true;
    return;
  }
  const XBobjIndexKey& node = path_[level].node;
  if (node.left != kNoPage) PatchSibling(node.left, kRightField, node.page, node.right);
  if (node.right != kNoPage) PatchSibling(node.right, kLeftField, node.page, node.left);
  path_.resize(level);
  XBobjIndexKey& parent = Decoded(level - 1);
  const auto position = static_cast<std::size_t>(parent.position);
  parent.entries.erase(parent.entries.begin() + static_cast<std::ptrdiff_t>(position));
  path_.back().changed = true;
  if (parent.entries.empty()) {
    DropEmptied(level - 1);
  } else if (position == parent.entries.size()) {
    parent.position = static_cast<int>(position) - 1;
    RaiseLastKey(level - 1);
  }
}

void CdxTreeEditor::PatchSibling(std::uint32_t page, int field, std::uint32_t expected,
                                 std::uint32_t value) {
  if (page < kCdxHeaderSize || page % kCdxPageSize != 0) {
    tag_.NodeFault(expected, "its sibling pointer " + std::to_string(page) + " is not a page");
  }
  std::uint8_t bytes[kCdxPageSize];
  file_.ReadBlock(page, bytes, kCdxPageSize);
  if (ReadLE32(bytes + field) != expected) {
    tag_.NodeFault(page, std::string("its ") + (field == kLeftField ? "left" : "right") +
                             " sibling is not page " + std::to_string(expected) +
                             ", which names it as its neighbour");
  }
  WriteLE32(bytes + field, value);
  file_.WriteBlock(page, bytes, kCdxPageSize);
}

void CdxTreeEditor::Flush() {
  for (std::size_t level = path_.size(); level-- > 0;) {
    if (path_[level].changed && WriteLevel(level)) ++level;
  }
}

std::uint32_t CdxTreeEditor::LeafRecordLimit(std::span<const XBobjIndexKeyData> entries) const {
  std::uint32_t limit = highestRecord_;
  for (const XBobjIndexKeyData& entry : entries)
    limit = std::max(limit, static_cast<std::uint32_t>(entry.record));
  return limit;
}

std::string_view CdxTreeEditor::LeafKeyBytes(std::string_view key, std::string& scratch) const {
  const CdxKeyForm& form = tag_.keyForm();
  if (form.general) {
    scratch = CdxLeafKeyBytes(form, key);
    return scratch;
  }
  key = key.substr(0, static_cast<std::size_t>(form.keyLength));
  if (!form.character) {
    while (!key.empty() && key.back() == '\0')
      key.remove_suffix(1);
  }
  return key;
}

bool CdxTreeEditor::LeafFits(const XBobjIndexKey& leaf) {
  const int entryBytes =
      CdxLeafLayoutFor(tag_.keyForm().keyLength, LeafRecordLimit(leaf.entries)).entryBytes;
  int total = 0;
  std::string_view previous;
  for (std::size_t i = 0; i < leaf.entries.size(); ++i) {
    const std::string_view bytes = LeafKeyBytes(leaf.entries[i].key, leafBytes_[i % 2]);
    const auto shared = static_cast<int>(CdxSharedLength(bytes, previous));
    total += entryBytes + static_cast<int>(bytes.size()) - shared;
    if (total >= kLeafSplitSize) return false;
    previous = bytes;
  }
  return true;
}

void CdxTreeEditor::WriteNode(const XBobjIndexKey& node, std::size_t first, std::size_t end,
                              std::uint32_t page, bool root, std::uint32_t left,
                              std::uint32_t right) {
  std::uint8_t bytes[kCdxPageSize];
  const auto attribute =
      static_cast<std::uint16_t>((node.leaf ? cdx_attribute::Leaf : cdx_attribute::Interior) |
                                 (root ? cdx_attribute::Root : 0));
  const auto begin = node.entries.begin();
  if (node.leaf) {
    const std::span<const XBobjIndexKeyData> part(node.entries.data() + first, end - first);
    // An empty leaf keeps the narrowest layout, as a new tag's root has it.
    CdxLeafWriter writer(
        tag_.keyForm(),
        CdxLeafLayoutFor(tag_.keyForm().keyLength, part.empty() ? 0 : LeafRecordLimit(part)));
    for (const XBobjIndexKeyData& entry : part)
      writer.Append(entry.key, entry.record);
    writer.Write(bytes, attribute, left, right);
  } else {
    CdxWriteInterior(
        tag_.keyForm(),
        {begin + static_cast<std::ptrdiff_t>(first), begin + static_cast<std::ptrdiff_t>(end)},
        bytes, attribute, left, right);
  }
  file_.WriteBlock(page, bytes, kCdxPageSize);
}

bool CdxTreeEditor::WriteLevel(std::size_t level) {
  XBobjIndexKey& node = path_[level].node;
  path_[level].changed = false;
  const bool fits = node.leaf ? LeafFits(node)
                              : node.entries.size() <=
                                    static_cast<std::size_t>(tag_.keyForm().InteriorCapacity());
  if (fits) {
    WriteNode(node, 0, node.entries.size(), node.page, level == 0, node.left, node.right);
    return false;
  }
  const std::vector<std::size_t> cuts =
      node.leaf
          ? CdxLeafCuts(tag_.keyForm(),
                        CdxLeafLayoutFor(tag_.keyForm().keyLength, LeafRecordLimit(node.entries)),
                        node.entries)
          : CdxInteriorCuts(node.entries.size(),
                            static_cast<std::size_t>(tag_.keyForm().InteriorCapacity()));
  bool newRoot = false;
  if (level == 0) {
    const std::uint32_t moved = file_.AllocatePage();
    XbGrowRoot(path_, moved, LastOf(node, node.entries.size(), moved));
    newRoot = true;
    ++level;
  }
  XBobjIndexKey& split = path_[level].node;
  std::vector<std::uint32_t> pages;
  for (std::size_t part = 0; part + 1 < cuts.size(); ++part)
    pages.push_back(file_.AllocatePage());
  pages.push_back(split.page);
  std::size_t first = 0;
  for (std::size_t part = 0; part + 1 < cuts.size(); ++part) {
    const std::uint32_t left = part == 0 ? split.left : pages[part - 1];
    WriteNode(split, first, cuts[part], pages[part], false, left, pages[part + 1]);
    first = cuts[part];
  }
  if (split.left != kNoPage) PatchSibling(split.left, kRightField, split.page, pages[0]);
  split.left = pages[pages.size() - 2];
  XBobjIndexKey& parent = Decoded(level - 1);
  std::vector<XBobjIndexKeyData> leading;
  for (std::size_t part = 0; part + 1 < cuts.size(); ++part)
    leading.push_back(LastOf(split, cuts[part], pages[part]));
  parent.entries.insert(parent.entries.begin() + parent.position, leading.begin(), leading.end());
  parent.position += static_cast<int>(leading.size());
  path_[level - 1].changed = true;
  split.entries.erase(split.entries.begin(),
                      split.entries.begin() + static_cast<std::ptrdiff_t>(first));
  WriteNode(split, 0, split.entries.size(), split.page, false, split.left, split.right);
  return newRoot;
}

}  // namespace tables
