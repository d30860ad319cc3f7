#pragma once
// The path a tree editor of compound and dBase-family tags holds from the root down to a leaf,
// a node and whether it awaits writing per level, and the new root it grows when the root
// splits.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tables/index/index_key.hpp"

namespace tables {

struct XbTreeLevel {
  XBobjIndexKey node;
  bool changed = false;
};

// A fault in the path a damaged file leads to: the page to name and why.
struct XbPathFault {
  std::uint32_t page;
  std::string reason;
};

// Before the node at page joins the path: the fault, naming the parent, when the path would
// pass 32 levels or meet page a second time.
std::optional<XbPathFault> XbDescentFault(const std::vector<XbTreeLevel>& path, std::uint32_t page);

// The root at the path's front is about to split: a new root above it takes over its page, so
// that the header's root never changes. The old root's entries move to page movedTo, and the
// new root holds the one entry rootEntry, which points there.
void XbGrowRoot(std::vector<XbTreeLevel>& path, std::uint32_t movedTo, XBobjIndexKeyData rootEntry);

}  // namespace tables
