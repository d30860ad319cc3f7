#include "tables/index/family_tree_writer.hpp"

#include "tables/storage/xbase_error.hpp"

namespace tables {
namespace {

constexpr std::size_t kMaxLevels = 32;

}  // namespace

XbFamilyTreeWriter::XbFamilyTreeWriter(int maxKeys, NodeWrite write)
    : maxKeys_(static_cast<std::size_t>(maxKeys)), write_(std::move(write)) {}

std::size_t XbFamilyTreeWriter::Capacity(std::size_t level) const {
  return level == 0 ? maxKeys_ : maxKeys_ + 1;
}

void XbFamilyTreeWriter::Add(const std::string& key, std::int32_t record) {
  AddAt(0, {key, record, static_cast<std::uint32_t>(record)});
}

void XbFamilyTreeWriter::AddAt(std::size_t level, XBobjIndexKeyData entry) {
  if (level == kMaxLevels) throw EXbaseError("Index tree deeper than 32 levels");
  if (levels_.size() <= level) levels_.resize(level + 1);
  std::vector<XBobjIndexKeyData>& node = levels_[level];
  if (node.size() == Capacity(level)) {
    const XBobjIndexKeyData last = node.back();
    const std::uint32_t address = write_(node, level == 0);
    node.clear();
    AddAt(level + 1, {last.key, last.record, address});
  }
  levels_[level].push_back(std::move(entry));
}

std::uint32_t XbFamilyTreeWriter::Finish() {
  if (levels_.empty()) return write_({}, true);
  for (std::size_t level = 0;; ++level) {
    std::vector<XBobjIndexKeyData> node = std::move(levels_[level]);
    levels_[level].clear();
    const bool top = level + 1 == levels_.size();
    if (top && level > 0 && node.size() == 1) return node.front().pointer;
    const XBobjIndexKeyData last = node.back();
    const std::uint32_t address = write_(node, level == 0);
    if (top) return address;
    AddLast(level + 1, {last.key, last.record, address});
  }
}

void XbFamilyTreeWriter::AddLast(std::size_t level, XBobjIndexKeyData entry) {
  std::vector<XBobjIndexKeyData>& node = levels_[level];
  node.push_back(std::move(entry));
  if (node.size() <= Capacity(level)) return;
  // A full node split in two halves rather than leave a lone pointer behind it.
  std::vector<XBobjIndexKeyData> first(node.begin(), node.begin() + node.size() / 2);
  node.erase(node.begin(), node.begin() + node.size() / 2);
  const XBobjIndexKeyData last = first.back();
  const std::uint32_t address = write_(first, level == 0);
  AddAt(level + 1, {last.key, last.record, address});
}

}  // namespace tables
