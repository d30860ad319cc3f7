#include "tables/index/family_tree_editor.hpp"

#include "tables/index/cdx_tree_editor.hpp"
#include "tables/index/family_tag.hpp"

namespace tables {
namespace {

template <typename Entries>
auto At(Entries& entries, std::size_t position) {
  return entries.begin() + static_cast<std::ptrdiff_t>(position);
}

}  // namespace

XbFamilyTreeEditor::XbFamilyTreeEditor(XBobjFamilyTag& tag, XbFamilyNodeFormat& format)
    : tag_(tag), format_(format) {}

int XbFamilyTreeEditor::Compare(std::string_view key, const XBobjIndexKeyData& entry) const {
  return tag_.CompareStored(key, entry.key);
}

std::size_t XbFamilyTreeEditor::Capacity(const XBobjIndexKey& node) const {
  return node.leaf ? format_.MaxKeys() : format_.MaxKeys() + 1;
}

void XbFamilyTreeEditor::PushNode(std::uint32_t page) {
  if (const std::optional<XbPathFault> fault = XbDescentFault(path_, page)) {
    tag_.NodeFault(fault->page, fault->reason);
  }
  Level level;
  format_.ReadNode(page, level.node);
  if (!level.node.leaf && level.node.entries.empty()) {
    tag_.NodeFault(page, "an interior node without a child pointer");
  }
  path_.push_back(std::move(level));
}

void XbFamilyTreeEditor::Locate(std::string_view key, Stop stop) {
  path_.clear();
  PushNode(format_.RootPage());
  for (;;) {
    XBobjIndexKey& node = path_.back().node;
    // The last pointer of an interior node has no key: whatever passes the others goes there.
    const std::size_t searched = node.leaf ? node.entries.size() : node.entries.size() - 1;
    std::size_t position = 0;
    while (position < searched) {
      const int order = Compare(key, node.entries[position]);
      if (stop == Stop::AtNotSmaller ? order <= 0 : order < 0) break;
      ++position;
    }
    node.position = static_cast<int>(position);
    if (node.leaf) return;
    PushNode(node.Current().pointer);
  }
}

bool XbFamilyTreeEditor::OnEntry() const {
  const XBobjIndexKey& leaf = path_.back().node;
  return leaf.position >= 0 && static_cast<std::size_t>(leaf.position) < leaf.entries.size();
}

const XBobjIndexKeyData& XbFamilyTreeEditor::CurrentEntry() const {
  return path_.back().node.Current();
}

bool XbFamilyTreeEditor::NextEntry() {
  XBobjIndexKey& leaf = path_.back().node;
  if (leaf.position + 1 < static_cast<int>(leaf.entries.size())) {
    ++leaf.position;
    return true;
  }
  for (std::size_t level = path_.size() - 1; level-- > 0;) {
    XBobjIndexKey& node = path_[level].node;
    if (node.position + 1 >= static_cast<int>(node.entries.size())) continue;
    ++node.position;
    const std::uint32_t child = node.Current().pointer;
    path_.resize(level + 1);
    PushNode(child);
    while (!path_.back().node.leaf) {
      path_.back().node.position = 0;
      PushNode(path_.back().node.Current().pointer);
    }
    path_.back().node.position = -1;
    return NextEntry();
  }
  return false;
}

bool XbFamilyTreeEditor::Holds(std::string_view key, std::int32_t record) {
  Locate(key, Stop::AtNotSmaller);
  if (!OnEntry() && !NextEntry()) return false;
  while (Compare(key, CurrentEntry()) == 0) {
    if (record == kAnyRecord || CurrentEntry().record == record) return true;
    if (!NextEntry()) return false;
  }
  return false;
}

bool XbFamilyTreeEditor::Insert(std::string_view key, std::int32_t record) {
  if (tag_.unique() && Holds(key, kAnyRecord)) return false;
  Locate(key, Stop::AfterEqual);
  Level& leaf = path_.back();
  const auto position = static_cast<std::size_t>(leaf.node.position);
  leaf.node.entries.insert(
      At(leaf.node.entries, position),
      XBobjIndexKeyData{std::string(key), record, static_cast<std::uint32_t>(record)});
  leaf.changed = true;
  if (position + 1 == leaf.node.entries.size()) RaiseKey(path_.size() - 1, std::string(key));
  Flush();
  return true;
}

bool XbFamilyTreeEditor::Remove(std::string_view key, std::int32_t record) {
  if (!Holds(key, record)) return false;
  Level& leaf = path_.back();
  const auto position = static_cast<std::size_t>(leaf.node.position);
  leaf.node.entries.erase(At(leaf.node.entries, position));
  leaf.changed = true;
  if (leaf.node.entries.empty()) {
    DropEmptied(path_.size() - 1);
  } else if (position == leaf.node.entries.size()) {
    RaiseKey(path_.size() - 1, leaf.node.entries.back().key);
  }
  Flush();
  return true;
}

void XbFamilyTreeEditor::RaiseKey(std::size_t level, const std::string& key) {
  for (; level > 0; --level) {
    Level& parent = path_[level - 1];
    const auto position = static_cast<std::size_t>(parent.node.position);
    if (position + 1 == parent.node.entries.size()) continue;
    parent.node.entries[position].key = key;
    parent.changed = true;
    return;
  }
}

void XbFamilyTreeEditor::DropEmptied(std::size_t level) {
  if (level == 0) {
    // The root stays, as an empty leaf: its former children are dead blocks now.
    path_[0].node.leaf = true;
    path_[0].node.entries.clear();
    path_[0].changed = true;
    return;
  }
  path_.resize(level);
  Level& parent = path_.back();
  std::vector<XBobjIndexKeyData>& entries = parent.node.entries;
  const auto position = static_cast<std::size_t>(parent.node.position);
  entries.erase(At(entries, position));
  parent.changed = true;
  if (entries.empty()) {
    DropEmptied(level - 1);
    return;
  }
  if (position == entries.size()) {
    // The pointer before it is the last one now: its key, no longer stored, bounds the node.
    parent.node.position = static_cast<int>(position) - 1;
    RaiseKey(level - 1, entries.back().key);
  }
  if (entries.size() == 1) MergeLonePointer(level - 1);
}

void XbFamilyTreeEditor::MergeLonePointer(std::size_t level) {
  if (level == 0) {
    // The root takes over its one child (the tree gets one level lower; the root keeps its
    // block, the child's block is dead).
    Level child;
    if (path_.size() > 1) {
      child = std::move(path_[1]);
      path_.erase(At(path_, 1));
    } else {
      format_.ReadNode(path_[0].node.entries.front().pointer, child.node);
    }
    XBobjIndexKey& root = path_[0].node;
    root.entries = std::move(child.node.entries);
    root.leaf = child.node.leaf;
    root.position = child.node.position;
    path_[0].changed = true;
    if (!root.leaf && root.entries.size() == 1) MergeLonePointer(0);
    return;
  }
  XBobjIndexKey& parent = path_[level - 1].node;
  if (parent.entries.size() < 2) {
    tag_.NodeFault(parent.page, "an interior node holds a single child pointer");
  }
  const auto position = static_cast<std::size_t>(parent.position);
  XBobjIndexKeyData lone = path_[level].node.entries.front();
  const bool intoLeft = position > 0;
  const std::size_t neighbour = intoLeft ? position - 1 : position + 1;
  Level merged;
  format_.ReadNode(parent.entries[neighbour].pointer, merged.node);
  if (merged.node.leaf) tag_.NodeFault(parent.page, "its children are leaves and interior nodes");
  std::vector<XBobjIndexKeyData>& entries = merged.node.entries;
  if (intoLeft) {
    // The neighbour's last pointer gets the key its parent held for it.
    entries.back().key = parent.entries[neighbour].key;
    entries.push_back(std::move(lone));
    merged.node.position = static_cast<int>(entries.size()) - 1;
    parent.entries[position].pointer = merged.node.page;
    parent.entries.erase(At(parent.entries, neighbour));
    parent.position = static_cast<int>(neighbour);
  } else {
    lone.key = parent.entries[position].key;
    entries.insert(entries.begin(), std::move(lone));
    merged.node.position = 0;
    parent.entries.erase(At(parent.entries, position));
  }
  merged.changed = true;
  path_[level - 1].changed = true;
  // The levels below stay: the merged node's position leads to them as the lone pointer did.
  const bool overfull = entries.size() > Capacity(merged.node);
  path_[level] = std::move(merged);
  // An overfull node splits when written, which gives the parent its second pointer again.
  if (!overfull && path_[level - 1].node.entries.size() == 1) MergeLonePointer(level - 1);
}

void XbFamilyTreeEditor::Flush() {
  for (std::size_t level = path_.size(); level-- > 0;) {
    if (path_[level].changed && WriteLevel(level)) ++level;
  }
}

bool XbFamilyTreeEditor::WriteLevel(std::size_t level) {
  path_[level].changed = false;
  XBobjIndexKey& node = path_[level].node;
  const std::vector<std::size_t> cuts = CdxInteriorCuts(node.entries.size(), Capacity(node));
  if (cuts.size() == 1) {
    format_.WriteNode(node.page, node.leaf, node.entries);
    return false;
  }
  bool newRoot = false;
  if (level == 0) {
    const std::uint32_t moved = format_.AllocateNode();
    XbGrowRoot(path_, moved, {node.entries.back().key, node.entries.back().record, moved});
    newRoot = true;
    ++level;
  }
  XBobjIndexKey& split = path_[level].node;
  std::vector<XBobjIndexKeyData> leading;
  std::size_t first = 0;
  for (std::size_t part = 0; part + 1 < cuts.size(); ++part) {
    const std::uint32_t page = format_.AllocateNode();
    const std::vector<XBobjIndexKeyData> entries(At(split.entries, first),
                                                 At(split.entries, cuts[part]));
    format_.WriteNode(page, split.leaf, entries);
    leading.push_back({entries.back().key, entries.back().record, page});
    first = cuts[part];
  }
  split.entries.erase(split.entries.begin(), At(split.entries, first));
  format_.WriteNode(split.page, split.leaf, split.entries);
  XBobjIndexKey& parent = path_[level - 1].node;
  parent.entries.insert(At(parent.entries, static_cast<std::size_t>(parent.position)),
                        leading.begin(), leading.end());
  parent.position += static_cast<int>(leading.size());
  path_[level - 1].changed = true;
  return newRoot;
}

}  // namespace tables
