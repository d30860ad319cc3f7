// Raw key bytes encoded straight into the sort's buffer (the way tag builds add their keys):
// the order and unique mode of keys added as raw variants, across runs, with the bytes that
// need escapes and the bytes that fill a whole head word, and the same refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tables/index/txb_sort.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

// The sort with its byte entry points open to the tests.
class ByteSort : public TxbSort {
 public:
  using TxbSort::AddBytes;
  using TxbSort::NextBytes;
  using TxbSort::TxbSort;
};

struct Pair {
  std::string key;
  std::int32_t record;
  bool operator==(const Pair&) const = default;
};

std::vector<Pair> Drain(ByteSort& sort) {
  std::vector<Pair> pairs;
  std::string key;
  std::int32_t record = 0;
  while (sort.NextBytes(key, record))
    pairs.push_back({key, record});
  return pairs;
}

// Keys of up to maxLength bytes from a few values: 0 and 1 (escaped in the sort), 2, 0x41
// and 0xFF, with long runs of 0xFF so that whole head words are 0xFF bytes.
std::string RandomBytes(std::mt19937& random, std::size_t maxLength) {
  static constexpr char kBytes[] = {'\0', '\x01', '\x02', 'A', '\xff', '\xff', '\xff'};
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kBytes - 1);
  std::string bytes(length(random), '\0');
  for (char& byte : bytes)
    byte = kBytes[pick(random)];
  return bytes;
}

// Enough keys for several runs (2 MiB of strings each), in both modes and directions.
TEST(TxbSortBytes, KeysAddedAsBytesComeBackAsRawVariantsDo) {
  std::mt19937 random(31);
  for (const bool ascending : {true, false}) {
    for (const bool unique : {false, true}) {
      ByteSort bytes(40, ascending, unique);
      ByteSort variants(40, ascending, unique);
      TxbVariant raw;
      for (std::int32_t record = 1; record <= 120000; ++record) {
        const std::string key = RandomBytes(random, 40);
        bytes.AddBytes(key, record);
        raw.SetRaw(key);
        variants.Add(raw, record);
      }
      EXPECT_EQ(bytes.keysAdded(), 120000);
      const std::vector<Pair> order = Drain(variants);
      EXPECT_EQ(Drain(bytes), order) << "ascending " << ascending << " unique " << unique;
      if (unique) {
        EXPECT_TRUE(std::adjacent_find(order.begin(), order.end(), [](auto& l, auto& r) {
                      return l.key == r.key;
                    }) == order.end());
      }
    }
  }
}

// Keys of 0xFF bytes only, shorter and longer, spread over runs in record order: the
// records of each key must come back in ascending order after all shorter keys.
TEST(TxbSortBytes, KeysOfHighBytesOnlyMergeInOrder) {
  ByteSort sort(240, true, false);
  std::vector<Pair> expected;
  for (std::int32_t record = 1; record <= 100000; ++record) {
    const std::string key(static_cast<std::size_t>(100 + record % 5), '\xff');
    sort.AddBytes(key, record);
    expected.push_back({key, record});
  }
  std::stable_sort(expected.begin(), expected.end(),
                   [](const Pair& l, const Pair& r) { return l.key.size() < r.key.size(); });
  EXPECT_EQ(Drain(sort), expected);
}

TEST(TxbSortBytes, RefusesLongKeysAndKeysAfterRetrievalBegan) {
  ByteSort sort(4, true, false);
  sort.AddBytes("BBBB", 1);
  EXPECT_EQ(ErrorOf([&] { sort.AddBytes("AAAAA", 2); }).first,
            "Sort key length greater than 240 bytes");
  EXPECT_EQ(sort.keysAdded(), 1);
  sort.AddBytes("", 3);
  std::string key;
  std::int32_t record = 0;
  ASSERT_TRUE(sort.NextBytes(key, record));
  EXPECT_EQ(key, "");
  EXPECT_EQ(record, 3);
  EXPECT_EQ(ErrorOf([&] { sort.AddBytes("C", 4); }).first,
            "Cannot add sort keys after beginning retrieval");
  ASSERT_TRUE(sort.NextBytes(key, record));
  EXPECT_EQ(key, "BBBB");
  EXPECT_FALSE(sort.NextBytes(key, record));
}

}  // namespace
}  // namespace tables::testing
