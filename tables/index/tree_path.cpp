#include "tables/index/tree_path.hpp"

#include <utility>

namespace tables {

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
