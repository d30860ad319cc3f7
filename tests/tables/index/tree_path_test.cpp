// The path checks and the root growth that the compound and dBase-family tree editors share.
#include "tables/index/tree_path.hpp"

#include <gtest/gtest.h>

namespace tables {
namespace {

std::vector<XbTreeLevel> PathThrough(std::uint32_t pages) {
  std::vector<XbTreeLevel> path(pages);
  for (std::uint32_t i = 0; i < pages; ++i)
    path[i].node.page = 512 * (i + 1);
  return path;
}

// A damaged file may point back up the path or down without end: either stops the descent
// with a fault naming the node that points there.
TEST(TreePath, ADescentBackUpOrTooDeepIsAFaultOfTheParent) {
  const std::vector<XbTreeLevel> path = PathThrough(3);
  EXPECT_FALSE(XbDescentFault(path, 4096));
  EXPECT_FALSE(XbDescentFault({}, 512));
  const std::optional<XbPathFault> back = XbDescentFault(path, 1024);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->page, 1536u);
  EXPECT_EQ(back->reason, "a child pointer leads back to page 1024 above it");
  EXPECT_FALSE(XbDescentFault(PathThrough(31), 99999));
  const std::optional<XbPathFault> deep = XbDescentFault(PathThrough(32), 99999);
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->page, 512u * 32);
  EXPECT_EQ(deep->reason, "the tree is deeper than 32 levels");
}

// The root keeps its page (the header never changes); its entries move to the new page below.
TEST(TreePath, AGrownRootKeepsThePageAndPointsToTheMovedEntries) {
  std::vector<XbTreeLevel> path(1);
  path[0].node.page = 512;
  path[0].node.root = true;
  path[0].node.leaf = true;
  path[0].node.entries = {{"A", 1, 0}, {"B", 2, 0}};
  XbGrowRoot(path, 2048, {"B", 2, 2048});
  ASSERT_EQ(path.size(), 2u);
  EXPECT_EQ(path[0].node.page, 512u);
  EXPECT_TRUE(path[0].node.root);
  EXPECT_FALSE(path[0].node.leaf);
  EXPECT_TRUE(path[0].changed);
  ASSERT_EQ(path[0].node.entries.size(), 1u);
  EXPECT_EQ(path[0].node.entries[0].pointer, 2048u);
  EXPECT_EQ(path[1].node.page, 2048u);
  EXPECT_FALSE(path[1].node.root);
  EXPECT_TRUE(path[1].node.leaf);
  EXPECT_EQ(path[1].node.entries.size(), 2u);
}

}  // namespace
}  // namespace tables
