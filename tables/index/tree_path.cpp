#include "tables/index/tree_path.hpp"

#include <utility>

namespace tables {
namespace {

constexpr std::size_t kMaxDepth = 32;

}  // namespace

std::optional<XbPathFault> XbDescentFault(const std::vector<XbTreeLevel>& path,
                                          std::uint32_t page) {
  const std::uint32_t parent = path.empty() ? page : path.back().node.page;
  if (path.size() >= kMaxDepth) return XbPathFault{parent, "the tree is deeper than 32 levels"};
  for (const XbTreeLevel& level : path) {
    if (level.node.page == page) {
      return XbPathFault{
          parent, "a child pointer leads back to page " + std::to_string(page) + " above it"};
    }
  }
  return std::nullopt;
}

void XbGrowRoot(std::vector<XbTreeLevel>& path, std::uint32_t movedTo,
                XBobjIndexKeyData rootEntry) {
  XBobjIndexKey& old = path.front().node;
  XbTreeLevel root;
  root.node.page = old.page;
  root.node.leaf = false;
  root.node.root = true;
  root.node.position = 0;
  root.node.entries.push_back(std::move(rootEntry));
  root.changed = true;
  old.page = movedTo;
  old.root = false;
  path.insert(path.begin(), std::move(root));
}

}  // namespace tables
