// The pages an exclusive index file keeps instead of writing them: found by offset, replaced in
// place, listed in ascending order, and left where they are while more pages come.
#include <gtest/gtest.h>

#include <vector>

#include "tables/index/deferred_pages.hpp"

namespace tables {
namespace {

std::vector<std::uint8_t> Filled(std::uint8_t value) {
  return std::vector<std::uint8_t>(XbDeferredPages::kPageSize, value);
}

bool Holds(const XbDeferredPages& pages, std::uint32_t offset, std::uint8_t value) {
  const std::uint8_t* bytes = pages.Find(offset);
  return bytes &&
         std::vector<std::uint8_t>(bytes, bytes + XbDeferredPages::kPageSize) == Filled(value);
}

TEST(DeferredPages, PagesAreFoundByOffsetAndReplacedInPlace) {
  XbDeferredPages pages;
  EXPECT_EQ(pages.Find(0), nullptr);
  pages.Keep(512 * 900, Filled(1).data());
  pages.Keep(1024, Filled(2).data());
  pages.Keep(0, Filled(3).data());
  EXPECT_TRUE(Holds(pages, 512 * 900, 1));
  EXPECT_TRUE(Holds(pages, 1024, 2));
  EXPECT_TRUE(Holds(pages, 0, 3));
  EXPECT_EQ(pages.Find(512), nullptr) << "a page between kept ones";
  EXPECT_EQ(pages.Find(512 * 901), nullptr) << "a page past the last kept one";

  const std::uint8_t* before = pages.Find(1024);
  pages.Keep(1024, Filled(4).data());
  EXPECT_EQ(pages.Find(1024), before);
  EXPECT_TRUE(Holds(pages, 1024, 4));
  EXPECT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages.SortedOffsets(), (std::vector<std::uint32_t>{0, 1024, 512 * 900}));
}

TEST(DeferredPages, KeptBytesStayWhereTheyAreWhileThousandsMoreComeAndGoWithClear) {
  XbDeferredPages pages;
  pages.Keep(2048, Filled(7).data());
  const std::uint8_t* first = pages.Find(2048);
  for (std::uint32_t page = 10; page < 5000; ++page)
    pages.Keep(page * 512, Filled(static_cast<std::uint8_t>(page)).data());
  EXPECT_EQ(pages.Find(2048), first);
  EXPECT_TRUE(Holds(pages, 2048, 7));
  EXPECT_TRUE(Holds(pages, 4999 * 512, static_cast<std::uint8_t>(4999)));

  pages.Clear();
  EXPECT_TRUE(pages.empty());
  EXPECT_EQ(pages.Find(2048), nullptr);
  EXPECT_EQ(pages.Find(4999 * 512), nullptr);
  pages.Keep(4999 * 512, Filled(9).data());
  EXPECT_TRUE(Holds(pages, 4999 * 512, 9));
  EXPECT_EQ(pages.SortedOffsets(), (std::vector<std::uint32_t>{4999 * 512}));
}

}  // namespace
}  // namespace tables
