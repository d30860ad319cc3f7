#include "tables/index/ntx_tree_editor.hpp"

#include <optional>

#include "tables/index/index_file.hpp"
#include "tables/index/ntx_tag.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxDepth = 32;

NtxStoredEntry EntryAt(const NtxPage& image, int slot, std::uint32_t child) {
  return {child, image.record(slot), std::string(image.storedKey(slot))};
}

}  // namespace

NtxTreeEditor::NtxTreeEditor(XBobjNTXTag& tag, XBobjIndexFile& file)
    : tag_(tag), file_(file), header_(tag.header()) {}

int NtxTreeEditor::Order(std::string_view probe, const NtxPage& image, int slot) const {
  return tag_.CompareStored(probe, tag_.KeyFromStored(image.storedKey(slot)));
}

NtxPage NtxTreeEditor::ReadImage(std::uint32_t page) const {
  std::uint8_t bytes[kNtxPageSize];
  if (page < kNtxPageSize || page % kNtxPageSize != 0 ||
      !file_.TryReadBlock(page, bytes, kNtxPageSize)) {
    tag_.NodeFault(page, "the page lies outside the file");
  }
  std::optional<NtxPage> image;
  try {
    image.emplace(header_, bytes);
  } catch (const NtxLayoutError& error) {
    tag_.NodeFault(page, error.what());
  }
  return *image;
}

void NtxTreeEditor::WriteImage(std::uint32_t page, const NtxPage& image) {
  file_.WriteBlock(page, image.bytes(), kNtxPageSize);
}

void NtxTreeEditor::WriteEntries(std::uint32_t page, const Entries& entries) {
  NtxStoredPage content{entries.last == 0, entries.keys};
  if (!content.leaf) content.entries.push_back({entries.last, 0, std::string()});
  std::uint8_t bytes[kNtxPageSize];
  NtxWritePage(header_, content, bytes);
  file_.WriteBlock(page, bytes, kNtxPageSize);
}

void NtxTreeEditor::Push(std::uint32_t page) {
  const std::uint32_t parent = path_.empty() ? page : path_.back().page;
  if (path_.size() >= kMaxDepth) tag_.NodeFault(parent, "the tree is deeper than 32 levels");
  for (const Level& level : path_) {
    if (level.page == page) {
      tag_.NodeFault(parent,
                     "a child pointer leads back to page " + std::to_string(page) + " above it");
    }
  }
  path_.push_back({page, ReadImage(page), 0, false});
}

bool NtxTreeEditor::FindFirst(std::string_view key) {
  path_.clear();
  Push(header_.root);
  for (;;) {
    Level& level = path_.back();
    const int count = level.image.count();
    int slot = 0;
    while (slot < count && Order(key, level.image, slot) > 0)
      ++slot;
    level.slot = slot;
    if (level.image.leaf()) return Settle();
    Push(level.image.child(slot));
  }
}

void NtxTreeEditor::DescendAfter(std::string_view key) {
  path_.clear();
  Push(header_.root);
  for (;;) {
    Level& level = path_.back();
    const int count = level.image.count();
    int slot = 0;
    while (slot < count && Order(key, level.image, slot) >= 0)
      ++slot;
    level.slot = slot;
    if (level.image.leaf()) return;
    Push(level.image.child(slot));
  }
}

bool NtxTreeEditor::Settle() {
  // The entry after a page's last one is the parent's entry for that page, if it has one.
  while (!path_.empty() && path_.back().slot >= path_.back().image.count())
    path_.pop_back();
  return !path_.empty();
}

bool NtxTreeEditor::Advance() {
  Level& level = path_.back();
  ++level.slot;
  if (level.image.leaf()) return Settle();
  Push(level.image.child(level.slot));
  while (!path_.back().image.leaf()) {
    path_.back().slot = 0;
    Push(path_.back().image.child(0));
  }
  path_.back().slot = 0;
  return Settle();
}

bool NtxTreeEditor::Find(std::string_view key, std::int32_t record) {
  // Equal keys are not ordered by record: they are looked at in turn.
  for (bool on = FindFirst(key); on; on = Advance()) {
    const Level& level = path_.back();
    if (Order(key, level.image, level.slot) != 0) return false;
    if (level.image.record(level.slot) == static_cast<std::uint32_t>(record)) return true;
  }
  return false;
}

bool NtxTreeEditor::Holds(std::string_view key, std::int32_t record) {
  return Find(key, record);
}

bool NtxTreeEditor::Insert(std::string_view key, std::int32_t record) {
  if (tag_.unique() && FindFirst(key)) {
    const Level& level = path_.back();
    if (Order(key, level.image, level.slot) == 0) return false;
  }
  DescendAfter(key);
  InsertAt(path_.size() - 1, path_.back().slot,
           {0, static_cast<std::uint32_t>(record), tag_.StoredKey(key)});
  Flush();
  return true;
}

bool NtxTreeEditor::Remove(std::string_view key, std::int32_t record) {
  if (!Find(key, record)) return false;
  const std::size_t at = path_.size() - 1;
  const int slot = path_[at].slot;
  if (!path_[at].image.leaf()) {
    // The entry before it, the last of the leaves below its child, takes its place.
    Push(path_[at].image.child(slot));
    while (!path_.back().image.leaf()) {
      Level& level = path_.back();
      level.slot = level.image.count();
      Push(level.image.child(level.slot));
    }
    Level& leaf = path_.back();
    const int last = leaf.image.count() - 1;
    if (last < 0) tag_.NodeFault(leaf.page, "a leaf below an interior page holds no keys");
    path_[at].image.SetKey(slot, leaf.image.record(last), leaf.image.storedKey(last));
    path_[at].changed = true;
    leaf.slot = last;
  }
  Level& leaf = path_.back();
  leaf.image.Erase(leaf.slot);
  leaf.changed = true;
  if (leaf.image.count() == 0 && path_.size() > 1) Rebalance(path_.size() - 1);
  Flush();
  return true;
}

NtxTreeEditor::Entries NtxTreeEditor::EntriesOf(const NtxPage& image) {
  Entries entries;
  const bool leaf = image.leaf();
  for (int slot = 0; slot < image.count(); ++slot)
    entries.keys.push_back(EntryAt(image, slot, leaf ? 0 : image.child(slot)));
  entries.last = leaf ? 0 : image.child(image.count());
  return entries;
}

void NtxTreeEditor::Split(const Entries& all, Entries& before, NtxStoredEntry& between,
                          Entries& after) const {
  const std::size_t count = all.keys.size();
  const std::size_t cut = count - count / 2;
  const auto begin = all.keys.begin();
  before.keys.assign(begin, begin + static_cast<std::ptrdiff_t>(cut - 1));
  before.last = all.keys[cut - 1].child;
  between = all.keys[cut - 1];
  after.keys.assign(begin + static_cast<std::ptrdiff_t>(cut), all.keys.end());
  after.last = all.last;
}

void NtxTreeEditor::InsertAt(std::size_t level, int slot, const NtxStoredEntry& entry) {
  Level& node = path_[level];
  if (node.image.count() < header_.maxKeys) {
    node.image.Insert(slot, entry);
    node.changed = true;
    return;
  }
  Entries all = EntriesOf(node.image);
  all.keys.insert(all.keys.begin() + slot, entry);
  Entries before;
  Entries after;
  NtxStoredEntry between;
  Split(all, before, between, after);
  const std::uint32_t left = file_.AllocatePage();
  WriteEntries(left, before);
  between.child = left;
  if (level > 0) {
    WriteEntries(node.page, after);
    node.image = ReadImage(node.page);
    node.changed = false;
    InsertAt(level - 1, path_[level - 1].slot, between);
    return;
  }
  // The root keeps its page: the part after the middle entry moves to a page of its own.
  const std::uint32_t right = file_.AllocatePage();
  WriteEntries(right, after);
  Entries root;
  root.keys.push_back(between);
  root.last = right;
  WriteEntries(node.page, root);
  node.image = ReadImage(node.page);
  node.changed = false;
}

void NtxTreeEditor::Rebalance(std::size_t level) {
  const Level& empty = path_[level];
  Level& parent = path_[level - 1];
  const int count = parent.image.count();
  if (count == 0) tag_.NodeFault(parent.page, "an interior page below the root holds no keys");
  const std::uint32_t emptyChild = empty.image.leaf() ? 0 : empty.image.child(0);
  // The neighbour on the right, or on the left for the last child; sep is the entry between.
  const bool last = parent.slot >= count;
  const int sep = last ? count - 1 : parent.slot;
  const std::uint32_t neighbourPage = parent.image.child(last ? count - 1 : parent.slot + 1);
  NtxPage neighbour = ReadImage(neighbourPage);
  const NtxStoredEntry between = EntryAt(parent.image, sep, 0);
  if (neighbour.count() < header_.maxKeys) {
    if (last) {
      const int end = neighbour.count();
      const std::uint32_t after = neighbour.leaf() ? 0 : neighbour.child(end);
      neighbour.Insert(end, {after, between.record, between.key});
      if (!neighbour.leaf()) neighbour.SetChild(end + 1, emptyChild);
    } else {
      neighbour.Insert(0, {emptyChild, between.record, between.key});
    }
    WriteImage(neighbourPage, neighbour);
    parent.image.Erase(sep);
    parent.image.SetChild(sep, neighbourPage);
    parent.changed = true;
    path_.erase(path_.begin() + static_cast<std::ptrdiff_t>(level), path_.end());
    if (parent.image.count() > 0) return;
    if (level - 1 == 0) return Collapse();
    return Rebalance(level - 1);
  }
  // The neighbour is full: the keys of both and the entry between are shared out again.
  Entries all = last ? EntriesOf(neighbour) : Entries{{}, emptyChild};
  const Entries right = last ? Entries{{}, emptyChild} : EntriesOf(neighbour);
  all.keys.push_back({all.last, between.record, between.key});
  all.keys.insert(all.keys.end(), right.keys.begin(), right.keys.end());
  all.last = right.last;
  Entries before;
  Entries after;
  NtxStoredEntry middle;
  Split(all, before, middle, after);
  WriteEntries(last ? neighbourPage : empty.page, before);
  WriteEntries(last ? empty.page : neighbourPage, after);
  parent.image.SetKey(sep, middle.record, middle.key);
  parent.changed = true;
  path_.erase(path_.begin() + static_cast<std::ptrdiff_t>(level), path_.end());
}

void NtxTreeEditor::Collapse() {
  Level& root = path_[0];
  const std::uint32_t only = root.image.child(0);
  root.image = ReadImage(only);
  root.changed = true;
}

void NtxTreeEditor::Flush() {
  for (std::size_t level = path_.size(); level-- > 0;) {
    if (path_[level].changed) {
      WriteImage(path_[level].page, path_[level].image);
      path_[level].changed = false;
    }
  }
}

}  // namespace tables
