#include "tables/index/index_tag.hpp"

#include <algorithm>
#include <utility>

#include "tables/index/cdx_key.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

// Deeper trees than this do not occur: a page holds at least two interior entries.
constexpr std::size_t kMaxDepth = 32;

}  // namespace

void XBobjIndexTag::NodeFault(std::uint32_t page, const std::string& reason) const {
  throw EXbaseError("Index tag " + name_ + ", page " + std::to_string(page) + ": " + reason,
                    kInvalidIndexCode);
}

const XBobjIndexKeyData* XBobjIndexTag::current() const {
  if (bof_ || eof_ || path_.empty()) return nullptr;
  const XBobjIndexKey& leaf = path_.back();
  if (leaf.position < 0 || leaf.position >= static_cast<int>(leaf.entries.size())) return nullptr;
  return &leaf.Current();
}

int XBobjIndexTag::Compare(std::string_view probe, std::int32_t record,
                           const XBobjIndexKeyData& entry, bool prefixMatches) const {
  const XBobjNodeSearch search{probe, record, prefixMatches, storedDescending_, false};
  return search.Order(entry.key, entry.record);
}

XBobjIndexKey XBobjIndexTag::TakeNode(std::uint32_t page) {
  const std::uint32_t parent = path_.empty() ? kNoPage : path_.back().page;
  if (path_.size() >= kMaxDepth) NodeFault(parent, "the tree is deeper than 32 levels");
  for (const XBobjIndexKey& node : path_) {
    if (node.page == page)
      NodeFault(parent, "a child pointer leads back to page " + std::to_string(page) + " above it");
  }
  // Nodes come from the spares, so that their entries' storage is used again.
  XBobjIndexKey node;
  if (!spare_.empty()) {
    node = std::move(spare_.back());
    spare_.pop_back();
  }
  node.partial = false;
  return node;
}

void XBobjIndexTag::PushNode(std::uint32_t page) {
  XBobjIndexKey node = TakeNode(page);
  ReadNode(page, node);
  path_.push_back(std::move(node));
}

int XBobjIndexTag::PushSearchedNode(std::uint32_t page, const XBobjNodeSearch& search) {
  XBobjIndexKey node = TakeNode(page);
  const int result = SearchNode(page, search, node);
  path_.push_back(std::move(node));
  return result;
}

void XBobjIndexTag::CompletePath() {
  for (XBobjIndexKey& node : path_) {
    if (!node.partial) continue;
    const int position = node.position;
    ReadNode(node.page, node);
    node.partial = false;
    if (position >= static_cast<int>(node.entries.size()))
      NodeFault(node.page, "the node changed while it was read");
    node.position = position;
  }
}

int XBobjIndexTag::SearchNode(std::uint32_t page, const XBobjNodeSearch& search,
                              XBobjIndexKey& node) {
  ReadNode(page, node);
  if (node.entries.empty()) return 1;
  // Entries are in order, so the comparison results fall from 1 through 0 to -1 along the
  // node: the first entry to stop at is found by halving. An interior node's last entry
  // leads to everything above the others (in some formats it holds no key at all), so it is
  // taken when no other entry stops the probe rather than compared.
  const int count = static_cast<int>(node.entries.size());
  const int searched = node.leaf ? count : count - 1;
  int low = 0;
  int high = searched;
  int result = 1;
  while (low < high) {
    const int middle = low + (high - low) / 2;
    const XBobjIndexKeyData& entry = node.entries[static_cast<std::size_t>(middle)];
    const int order = search.Order(entry.key, entry.record);
    if (search.StopsAt(order)) {
      high = middle;
      result = order;
    } else {
      low = middle + 1;
    }
  }
  if (low == searched) {
    low = count - 1;
    result = 1;
  }
  node.position = low;
  return result;
}

void XBobjIndexTag::TrimPath(std::size_t depth) {
  if (depth == 0) restoredStale_ = false;
  while (path_.size() > depth) {
    spare_.push_back(std::move(path_.back()));
    path_.pop_back();
  }
}

int XBobjIndexTag::Descend(std::string_view probe, std::int32_t record, bool prefixMatches,
                           Stop stop) {
  TrimPath(0);
  bof_ = eof_ = false;
  const XBobjNodeSearch search{probe, record, prefixMatches, storedDescending_,
                               stop == Stop::AfterEqual};
  std::uint32_t page = ReadRootOffset();
  for (;;) {
    const int result = PushSearchedNode(page, search);
    const XBobjIndexKey& node = path_.back();
    if (node.entries.empty()) return 1;
    if (node.leaf) return result > 0 ? StepPastLeaf(probe, record, prefixMatches, stop) : result;
    page = node.Current().pointer;
  }
}

int XBobjIndexTag::StepPastLeaf(std::string_view probe, std::int32_t record, bool prefixMatches,
                                Stop stop) {
  // Interior keys that are only bounds (or entries of their own, in B-tree formats) can lead
  // into a leaf whose keys are all smaller; the entries that follow are looked at instead.
  while (StepForward()) {
    const int result = Compare(probe, record, path_.back().Current(), prefixMatches);
    if (stop == Stop::AtNotSmaller ? result <= 0 : result < 0) return result;
  }
  return 1;
}

void XBobjIndexTag::DescendEdge(bool first) {
  for (;;) {
    XBobjIndexKey& node = path_.back();
    if (node.entries.empty()) {
      node.position = -1;
      return;
    }
    node.position = first ? 0 : static_cast<int>(node.entries.size()) - 1;
    if (node.leaf) return;
    PushNode(node.Current().pointer);
  }
}

bool XBobjIndexTag::StepForward() {
  if (path_.empty()) return false;
  CompletePath();
  XBobjIndexKey& leaf = path_.back();
  if (leaf.position + 1 < static_cast<int>(leaf.entries.size())) {
    ++leaf.position;
    return true;
  }
  for (std::size_t level = path_.size() - 1; level-- > 0;) {
    XBobjIndexKey& node = path_[level];
    if (node.position + 1 < static_cast<int>(node.entries.size())) {
      ++node.position;
      const std::uint32_t child = node.Current().pointer;
      TrimPath(level + 1);
      PushNode(child);
      DescendEdge(true);
      return path_.back().position >= 0 || StepForward();
    }
  }
  return false;
}

bool XBobjIndexTag::StepBackward() {
  if (path_.empty()) return false;
  CompletePath();
  XBobjIndexKey& leaf = path_.back();
  if (leaf.position > 0) {
    --leaf.position;
    return true;
  }
  for (std::size_t level = path_.size() - 1; level-- > 0;) {
    XBobjIndexKey& node = path_[level];
    if (node.position > 0) {
      --node.position;
      const std::uint32_t child = node.Current().pointer;
      TrimPath(level + 1);
      PushNode(child);
      DescendEdge(false);
      return path_.back().position >= 0 || StepBackward();
    }
  }
  return false;
}

std::int32_t XBobjIndexTag::Here() {
  const XBobjIndexKeyData* entry = current();
  return entry ? entry->record : 0;
}

bool XBobjIndexTag::AboveRange(const XBobjIndexKeyData& entry) const {
  return high_ && Compare(*high_, kAnyRecord, entry, highAsPrefix_ && characterKeys_) < 0;
}

bool XBobjIndexTag::BelowRange(const XBobjIndexKeyData& entry) const {
  return low_ && Compare(*low_, kAnyRecord, entry, characterKeys_) > 0;
}

std::int32_t XBobjIndexTag::StoredFirst() {
  if (low_) {
    if (Descend(*low_, kAnyRecord, characterKeys_, Stop::AtNotSmaller) > 0) eof_ = true;
  } else {
    TrimPath(0);
    bof_ = eof_ = false;
    PushNode(ReadRootOffset());
    DescendEdge(true);
    if (path_.back().position < 0) bof_ = eof_ = true;
  }
  if (const XBobjIndexKeyData* entry = current(); entry && AboveRange(*entry)) eof_ = true;
  return Here();
}

std::int32_t XBobjIndexTag::StoredLast() {
  if (high_) {
    const int result =
        Descend(*high_, kAnyRecord, highAsPrefix_ && characterKeys_, Stop::AfterEqual);
    if (path_.back().position < 0) {
      bof_ = eof_ = true;
    } else if (result < 0 && !StepBackward()) {
      bof_ = true;
    }
  } else {
    TrimPath(0);
    bof_ = eof_ = false;
    PushNode(ReadRootOffset());
    DescendEdge(false);
    if (path_.back().position < 0) bof_ = eof_ = true;
  }
  if (const XBobjIndexKeyData* entry = current(); entry && BelowRange(*entry)) bof_ = true;
  return Here();
}

std::int32_t XBobjIndexTag::StoredStep(bool forward) {
  if (path_.empty()) return forward ? StoredFirst() : StoredLast();
  if (forward ? bof_ : eof_) return forward ? StoredFirst() : StoredLast();
  if (forward ? eof_ : bof_) return 0;
  const bool step = !(restoredStale_ || TreeChanged()) || Reanchor(forward);
  if (bof_ || eof_) return 0;
  if (step && !(forward ? StepForward() : StepBackward())) {
    (forward ? eof_ : bof_) = true;
    return 0;
  }
  const XBobjIndexKeyData& entry = path_.back().Current();
  if (forward && AboveRange(entry)) eof_ = true;
  if (!forward && BelowRange(entry)) bof_ = true;
  return Here();
}

bool XBobjIndexTag::Reanchor(bool forward) {
  const XBobjIndexKeyData* entry = current();
  if (!entry) return true;
  const XBobjIndexKeyData copy = *entry;
  const int result = LocateEntry(copy.key, copy.record);
  if (path_.back().entries.empty()) {
    (forward ? eof_ : bof_) = true;
    return false;
  }
  // A vanished entry leaves the tag on its successor (result -1) or on the last entry (1).
  return result == 0 || (forward ? result > 0 : result < 0);
}

std::int32_t XBobjIndexTag::Move(int code) {
  if (descending_) {
    if (code == xb_move::First || code == xb_move::Last) {
      code = code == xb_move::First ? xb_move::Last : xb_move::First;
    } else if (code == xb_move::Next || code == xb_move::Previous) {
      code = code == xb_move::Next ? xb_move::Previous : xb_move::Next;
    }
    std::swap(bof_, eof_);
  }
  std::int32_t record = 0;
  switch (code) {
    case xb_move::First:
      record = StoredFirst();
      break;
    case xb_move::Last:
      record = StoredLast();
      break;
    case xb_move::Next:
      record = StoredStep(true);
      break;
    case xb_move::Previous:
      record = StoredStep(false);
      break;
    case xb_move::Reread:
      if (const XBobjIndexKeyData* entry = current()) {
        const XBobjIndexKeyData copy = *entry;
        record = SeekEntry(copy.key, copy.record);
      }
      break;
    default:
      throw EXbaseError("Unknown index move code " + std::to_string(code));
  }
  if (descending_) std::swap(bof_, eof_);
  return record;
}

std::int32_t XBobjIndexTag::Seek(const TxbVariant& value, bool exact) {
  AssignKey(value, seekKey_);
  return SeekKey(seekKey_, exact);
}

std::int32_t XBobjIndexTag::SeekKey(std::string_view key, bool exact) {
  const bool prefix = !exact && characterKeys_;
  if (descending_) {
    // In tag order the first of the equal keys is the last one stored.
    const int result = Descend(key, kAnyRecord, prefix, Stop::AfterEqual);
    if (path_.back().position < 0 || (result < 0 && !StepBackward())) {
      eof_ = true;
      return 0;
    }
    const XBobjIndexKeyData& entry = path_.back().Current();
    if (BelowRange(entry)) {
      eof_ = true;
      return 0;
    }
    return Compare(key, kAnyRecord, entry, prefix) == 0 ? entry.record : 0;
  }
  const int result = Descend(key, kAnyRecord, prefix, Stop::AtNotSmaller);
  if (result > 0) {
    eof_ = true;
    return 0;
  }
  const XBobjIndexKeyData& entry = path_.back().Current();
  if (AboveRange(entry)) {
    eof_ = true;
    return 0;
  }
  return result == 0 ? entry.record : 0;
}

std::int32_t XBobjIndexTag::SeekEntry(std::string_view key, std::int32_t record) {
  const int result = LocateEntry(key, record);
  if (result > 0) {
    eof_ = true;
    return 0;
  }
  return result == 0 ? record : 0;
}

int XBobjIndexTag::LocateEntry(std::string_view key, std::int32_t record) {
  if (recordsOrderEqualKeys_) return Descend(key, record, false, Stop::AtNotSmaller);
  int result = Descend(key, kAnyRecord, false, Stop::AtNotSmaller);
  while (result == 0 && path_.back().Current().record != record) {
    result = StepForward() ? Compare(key, kAnyRecord, path_.back().Current(), false) : 1;
  }
  return result;
}

std::int32_t XBobjIndexTag::FindRecord(const TxbVariant& value) {
  std::vector<XBobjIndexKey> savedPath = path_;
  const bool savedBof = bof_;
  const bool savedEof = eof_;
  // The search reads the tree anew; the path set back afterwards is as stale as it was.
  const bool stale = restoredStale_ || (!path_.empty() && TreeChanged());
  std::int32_t record = 0;
  try {
    record = Seek(value, true);
  } catch (...) {
    path_ = std::move(savedPath);
    bof_ = savedBof, eof_ = savedEof;
    restoredStale_ = stale;
    throw;
  }
  path_ = std::move(savedPath);
  bof_ = savedBof, eof_ = savedEof;
  restoredStale_ = stale;
  return record;
}

std::int32_t XBobjIndexTag::SetRange(std::optional<std::string> low,
                                     std::optional<std::string> high, bool highAsPrefix) {
  low_ = std::move(low);
  high_ = std::move(high);
  highAsPrefix_ = highAsPrefix;
  return Move(xb_move::First);
}

void XBobjIndexTag::ClearRange() {
  low_.reset();
  high_.reset();
  highAsPrefix_ = false;
}

}  // namespace tables
