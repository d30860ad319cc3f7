// NTX pages edited in place: the slot table orders the entries, an insertion takes the space of
// the first unused slot and an erasure gives its space back there, the entries that stay do
// not move, and a page whose slots share space is refused before it is edited.
#include <gtest/gtest.h>

#include <cstring>

#include "tables/index/ntx_page.hpp"
#include "tables/storage/byte_order.hpp"

namespace tables::testing {
namespace {

class NtxPageEdits : public ::testing::Test {
 protected:
  // Key length 6: entries of 14 bytes, half (1020 / 16 - 1) / 2 = 31, at most 62 keys.
  NtxHeader header = NtxHeaderFor("NAME", "", 6, 0, false, false);

  std::uint16_t Slot(const NtxPage& page, int slot) const {
    return ReadLE16(page.bytes() + 2 + 2 * slot);
  }
  std::uint16_t FirstOrder(int slot) const {
    return static_cast<std::uint16_t>(slot * header.entrySize + 2 * header.maxKeys + 4);
  }
  static std::string Keys(const NtxPage& page) {
    std::string keys;
    for (int slot = 0; slot < page.count(); ++slot)
      keys += std::string(page.storedKey(slot)) + "|";
    return keys;
  }
};

TEST_F(NtxPageEdits, AnInsertionTakesTheFirstUnusedSlotsSpaceAndMovesTheSlotsAfterIt) {
  NtxPage page(header);
  EXPECT_TRUE(page.leaf());
  page.Insert(0, {0, 1, "BRAVO"});
  page.Insert(1, {0, 2, "DELTA"});
  page.Insert(0, {0, 3, "ALFA"});
  EXPECT_EQ(Keys(page), "ALFA  |BRAVO |DELTA |");
  // ALFA went into the space of slot 2 as first laid out; the others stayed where they were.
  EXPECT_EQ(Slot(page, 0), FirstOrder(2));
  EXPECT_EQ(Slot(page, 1), FirstOrder(0));
  EXPECT_EQ(Slot(page, 2), FirstOrder(1));
  EXPECT_EQ(Slot(page, 3), FirstOrder(3));
  EXPECT_EQ(page.record(0), 3u);

  page.Erase(1);
  EXPECT_EQ(Keys(page), "ALFA  |DELTA |");
  // BRAVO's space is the first unused slot now, and is taken by the next insertion.
  EXPECT_EQ(Slot(page, 2), FirstOrder(0));
  page.Insert(1, {0, 4, "CHARLIE"});
  EXPECT_EQ(Keys(page), "ALFA  |CHARLI|DELTA |");
  EXPECT_EQ(Slot(page, 1), FirstOrder(0));

  // The page as the reader sees it.
  const NtxStoredPage stored = NtxReadPage(header, page.bytes());
  ASSERT_EQ(stored.entries.size(), 3u);
  EXPECT_EQ(stored.entries[1].record, 4u);
}

TEST_F(NtxPageEdits, AnInteriorPageKeepsTheChildAfterItsLastKeyInTheSlotAfterIt) {
  NtxPage page(header);
  page.Insert(0, {0, 1, "ALFA"});
  page.Erase(0);
  EXPECT_EQ(page.count(), 0);
  EXPECT_TRUE(page.leaf());
  EXPECT_EQ(page.record(0), 0u) << "an erased entry leaves its space zeroed";

  std::vector<std::uint8_t> bytes(kNtxPageSize);
  NtxWritePage(header, {false, {{2048, 7, "MIKE  "}, {3072, 0, ""}}}, bytes.data());
  NtxPage interior(header, bytes.data());
  EXPECT_FALSE(interior.leaf());
  EXPECT_EQ(interior.used(), 2);
  interior.Insert(0, {5120, 9, "GOLF"});
  EXPECT_EQ(interior.count(), 2);
  EXPECT_EQ(interior.child(0), 5120u);
  EXPECT_EQ(interior.child(1), 2048u);
  EXPECT_EQ(interior.child(2), 3072u);
  interior.Erase(1);
  EXPECT_EQ(interior.child(1), 3072u);
  EXPECT_EQ(Keys(interior), "GOLF  |");
  EXPECT_THROW(interior.Erase(1), NtxLayoutError) << "the child slot holds no key";
}

TEST_F(NtxPageEdits, AFullPageTakesNoFurtherEntry) {
  NtxPage page(header);
  for (int n = 0; n < header.maxKeys; ++n)
    page.Insert(n, {0, static_cast<std::uint32_t>(n + 1), "K" + std::to_string(n)});
  EXPECT_THROW(page.Insert(0, {0, 99, "K"}), NtxLayoutError);
  EXPECT_EQ(page.count(), header.maxKeys);
}

TEST_F(NtxPageEdits, APageWhoseSlotsShareSpaceIsRefused) {
  std::vector<std::uint8_t> bytes(kNtxPageSize);
  NtxWritePage(header, {true, {{0, 1, "ALFA  "}}}, bytes.data());
  EXPECT_NO_THROW(NtxPage(header, bytes.data()));
  // An unused slot naming the space of slot 0 would let an insertion overwrite ALFA.
  WriteLE16(bytes.data() + 2 + 2 * 5, FirstOrder(0));
  EXPECT_THROW(NtxPage(header, bytes.data()), NtxLayoutError);
  WriteLE16(bytes.data() + 2 + 2 * 5, 1020);
  EXPECT_THROW(NtxPage(header, bytes.data()), NtxLayoutError);
}

}  // namespace
}  // namespace tables::testing
