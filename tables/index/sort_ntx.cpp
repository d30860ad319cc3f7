#include "tables/index/sort_ntx.hpp"

#include "tables/index/ntx_tag.hpp"
#include "tables/index/single_index_build.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxLevels = 32;

}  // namespace

XBobjSortNTX::XBobjSortNTX(XBobjNTXTag& tag)
    : TxbSort(tag.header().keyLength + 1, true, tag.unique()), tag_(tag) {}

void XBobjSortNTX::AddKey(std::string_view key, std::int32_t record) {
  TxbVariant value;
  value.SetRaw(key);
  Add(value, record);
}

std::uint32_t XBobjSortNTX::WritePage(const NtxStoredPage& content, std::uint32_t at) {
  std::uint8_t page[kNtxPageSize];
  NtxWritePage(tag_.header(), content, page);
  if (at == 0) {
    at = nextPage_;
    nextPage_ += kNtxPageSize;
  }
  tag_.file().WriteBlock(at, page, kNtxPageSize);
  return at;
}

void XBobjSortNTX::Place(const NtxStoredEntry& entry) {
  if (levels_.empty()) levels_.resize(1);
  std::vector<NtxStoredEntry>& leaf = levels_[0].entries;
  const auto maxKeys = static_cast<std::size_t>(tag_.header().maxKeys);
  if (leaf.size() < maxKeys) {
    leaf.push_back(entry);
    return;
  }
  lastFullPage_ = WritePage({true, leaf}, 0);
  lastFull_ = std::move(leaf);
  leaf.clear();
  AddAbove(1, {lastFullPage_, entry.record, entry.key});
}

void XBobjSortNTX::AddAbove(std::size_t level, NtxStoredEntry entry) {
  if (level == kMaxLevels) throw EXbaseError("Index tree deeper than 32 levels");
  if (levels_.size() <= level) levels_.resize(level + 1);
  std::vector<NtxStoredEntry>& node = levels_[level].entries;
  if (node.size() < static_cast<std::size_t>(tag_.header().maxKeys)) {
    node.push_back(std::move(entry));
    return;
  }
  // Full: the entry's child closes this page, its key goes up.
  NtxStoredPage content{false, node};
  content.entries.push_back({entry.child, 0, std::string()});
  const std::uint32_t page = WritePage(content, 0);
  node.clear();
  AddAbove(level + 1, {page, entry.record, entry.key});
}

void XBobjSortNTX::BalanceLastLeaf() {
  std::vector<NtxStoredEntry>& leaf = levels_[0].entries;
  const auto half = static_cast<std::size_t>(tag_.header().half);
  if (levels_.size() < 2 || leaf.size() >= half || lastFull_.empty()) return;
  std::vector<NtxStoredEntry>& parent = levels_[1].entries;
  if (parent.empty() || parent.back().child != lastFullPage_) return;
  // The keys of both leaves and the one between them, shared out again.
  std::vector<NtxStoredEntry> all = std::move(lastFull_);
  all.push_back({0, parent.back().record, parent.back().key});
  all.insert(all.end(), leaf.begin(), leaf.end());
  const std::size_t left = all.size() / 2;
  WritePage({true, {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(left)}}, lastFullPage_);
  parent.back() = {lastFullPage_, all[left].record, all[left].key};
  leaf.assign(all.begin() + static_cast<std::ptrdiff_t>(left) + 1, all.end());
}

std::uint32_t XBobjSortNTX::Finish() {
  if (levels_.empty()) return WritePage({true, {}}, 0);
  BalanceLastLeaf();
  std::uint32_t page = WritePage({true, levels_[0].entries}, 0);
  for (std::size_t level = 1; level < levels_.size(); ++level) {
    NtxStoredPage content{false, levels_[level].entries};
    content.entries.push_back({page, 0, std::string()});
    page = WritePage(content, 0);
  }
  return page;
}

std::uint32_t XBobjSortNTX::WriteTree(std::uint32_t firstPage) {
  nextPage_ = firstPage;
  XBobjIndexFile& file = tag_.file();
  XbTakeSortedKeys(*this, file, [this](std::string_view key, std::int32_t record) {
    Place({0, static_cast<std::uint32_t>(record), tag_.StoredKey(key)});
  });
  return Finish();
}

}  // namespace tables
