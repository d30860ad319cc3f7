#pragma once
// The path a tree editor of compound and dBase-family tags holds from the root down to a leaf,
// a node and whether it awaits writing per level, and the new root it grows when the root
// splits.
#include <cstdint>
#include <vector>

#include "tables/index/index_key.hpp"

namespace tables {

struct XbTreeLevel {
  XBobjIndexKey node;
  bool changed = false;
};

// The root at the path's front is about to split: a new root above it takes over its page, so
// that the header's root never changes. The old root's entries move to page movedTo, and the
// new root holds the one entry rootEntry, which points there.
void XbGrowRoot(std::vector<XbTreeLevel>& path, std::uint32_t movedTo, XBobjIndexKeyData rootEntry);

}  // namespace tables
