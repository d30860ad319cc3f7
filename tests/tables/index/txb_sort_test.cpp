// The key sort: order of keys and record numbers, unique mode, each key type coming back as it
// went in, sorts larger than one batch holds at once, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tables/index/key_variant.hpp"
#include "tables/index/txb_sort.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

struct Pair {
  std::string key;
  std::int32_t record;
  bool operator==(const Pair&) const = default;
};

TxbVariant Text(const std::string& text) {
  TxbVariant key;
  key.SetText(text);
  return key;
}

TxbVariant Raw(const std::string& bytes) {
  TxbVariant key;
  key.SetRaw(bytes);
  return key;
}

TxbVariant Number(double value) {
  TxbVariant key;
  key.SetNumber(value);
  return key;
}

TxbVariant Date(std::int32_t julian) {
  TxbVariant key;
  key.SetDate(julian);
  return key;
}

// Every pair the sort gives, keys as their bytes; every key must come back with `type`.
std::vector<Pair> Drain(TxbSort& sort, std::uint8_t type = TxbVariant::Text) {
  std::vector<Pair> pairs;
  TxbVariant key;
  std::int32_t record = 0;
  while (sort.Next(key, record)) {
    EXPECT_EQ(key.type(), type);
    pairs.push_back({std::string(key.bytes()), record});
  }
  return pairs;
}

bool ByKeyThenRecord(const Pair& left, const Pair& right) {
  return left.key != right.key ? left.key < right.key : left.record < right.record;
}

std::vector<std::int32_t> Records(const std::vector<Pair>& pairs) {
  std::vector<std::int32_t> records;
  for (const Pair& pair : pairs)
    records.push_back(pair.record);
  return records;
}

TEST(TxbSortOrder, EqualKeysComeInRecordOrderAndOnceWhenUnique) {
  for (bool unique : {false, true}) {
    TxbSort sort(10, true, unique);
    for (std::int32_t record : {9, 2, 5})
      sort.Add(Text("SAME"), record);
    sort.Add(Text("OTHER"), 7);
    std::vector<Pair> expected = {{"OTHER", 7}, {"SAME", 2}};
    if (!unique) expected.insert(expected.end(), {{"SAME", 5}, {"SAME", 9}});
    EXPECT_EQ(Drain(sort), expected) << "unique " << unique;
    EXPECT_EQ(sort.keysAdded(), 4);
  }
}

TEST(TxbSortOrder, TrailingBlanksAreNotPartOfAKey) {
  TxbSort sort(8, true, true);
  sort.Add(Text("AB   "), 3);
  sort.Add(Text("AB"), 1);
  sort.Add(Text("AB "), 2);
  sort.Add(Text("A B"), 4);
  sort.Add(Text("   "), 5);
  // Within the maximum once the blanks are gone.
  sort.Add(Text("ABCDEFGH        "), 6);
  EXPECT_EQ(Drain(sort), (std::vector<Pair>{{"", 5}, {"A B", 4}, {"AB", 1}, {"ABCDEFGH", 6}}));
}

TEST(TxbSortOrder, CharactersCompareAsUnsignedBytesShorterFirst) {
  TxbSort sort(10, true, false);
  sort.Add(Text("\xE4pfel"), 1);
  sort.Add(Text("Zebra"), 2);
  sort.Add(Text("ZEBRA"), 3);
  sort.Add(Text("ZEB"), 4);
  sort.Add(Text("zebra"), 5);
  EXPECT_EQ(Records(Drain(sort)), (std::vector<std::int32_t>{4, 3, 2, 5, 1}));
}

TEST(TxbSortOrder, NumbersComeBackAsTheyWentInInNumericOrder) {
  TxbSort sort(9, true, false);
  std::vector<double> values = {2,   -1.5,    0,      1e300, -2,        1,        -1,
                                0.1, -1e-300, 1e-310, -0.0,  -INFINITY, INFINITY, 123456.789};
  for (std::size_t i = 0; i < values.size(); ++i) {
    sort.Add(Number(values[i]), static_cast<std::int32_t>(i + 1));
  }
  std::vector<double> got;
  std::vector<bool> negative;
  TxbVariant key;
  std::int32_t record = 0;
  while (sort.Next(key, record)) {
    ASSERT_EQ(key.type(), TxbVariant::Number);
    got.push_back(key.AsNumber());
    negative.push_back(std::signbit(key.AsNumber()));
    EXPECT_EQ(got.back(), values[static_cast<std::size_t>(record - 1)]);
  }
  std::vector<double> expected = {-INFINITY, -2,  -1.5, -1, -1e-300,    -0.0,  0,
                                  1e-310,    0.1, 1,    2,  123456.789, 1e300, INFINITY};
  EXPECT_EQ(got, expected);
  // -0 keeps its sign and sorts just before 0.
  EXPECT_TRUE(negative[5]);
  EXPECT_FALSE(negative[6]);
}

TEST(TxbSortOrder, TheThreeNumbersOfTheExample) {
  TxbSort sort(8, true, false);
  sort.Add(Number(2), 1);
  sort.Add(Number(-1.5), 2);
  sort.Add(Number(0), 3);
  TxbVariant key;
  std::int32_t record = 0;
  std::vector<double> got;
  while (sort.Next(key, record))
    got.push_back(key.AsNumber());
  EXPECT_EQ(got, (std::vector<double>{-1.5, 0, 2}));
}

TEST(TxbSortOrder, DatesComeBackAsDayNumbersInOrder) {
  TxbSort sort(8, true, false);
  std::vector<std::int32_t> days = {2451545, 0, 2444240, 2451545, 2488070, 1};
  for (std::size_t i = 0; i < days.size(); ++i) {
    sort.Add(Date(days[i]), static_cast<std::int32_t>(i + 1));
  }
  std::vector<std::pair<std::int32_t, std::int32_t>> got;
  TxbVariant key;
  std::int32_t record = 0;
  while (sort.Next(key, record)) {
    ASSERT_EQ(key.type(), TxbVariant::Date);
    got.emplace_back(key.AsDate(), record);
  }
  EXPECT_EQ(got, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                     {0, 2}, {1, 6}, {2444240, 3}, {2451545, 1}, {2451545, 4}, {2488070, 5}}));
}

TEST(TxbSortOrder, RawBytesStayUnchangedZerosIncluded) {
  TxbSort sort(9, true, false);
  const std::string withZeros("\x00\x01\x00", 3);
  sort.Add(Raw("\xBF\xF0"), 1);  // 1 in the index's numeric form
  sort.Add(Raw(withZeros), 2);
  sort.Add(Raw("\x80"), 3);      // 0
  sort.Add(Raw("\x40\x0F"), 4);  // -1
  sort.Add(Raw(""), 5);
  EXPECT_EQ(
      Drain(sort, TxbVariant::Raw),
      (std::vector<Pair>{{"", 5}, {withZeros, 2}, {"\x40\x0F", 4}, {"\x80", 3}, {"\xBF\xF0", 1}}));
}

TEST(TxbSortOrder, DescendingReversesKeysAndRecordNumbers) {
  TxbSort sort(10, false, false);
  for (std::int32_t record : {9, 2, 5})
    sort.Add(Text("SAME"), record);
  sort.Add(Text("ZZ"), 1);
  sort.Add(Text("A"), 3);
  sort.Add(Text("SAM"), 4);
  EXPECT_EQ(
      Drain(sort),
      (std::vector<Pair>{{"ZZ", 1}, {"SAME", 9}, {"SAME", 5}, {"SAME", 2}, {"SAM", 4}, {"A", 3}}));
}

TEST(TxbSortOrder, DescendingUniqueKeepsTheFirstReturnedOfEachKey) {
  TxbSort sort(10, false, true);
  for (std::int32_t record : {9, 2, 5})
    sort.Add(Text("SAME"), record);
  sort.Add(Text("A"), 3);
  EXPECT_EQ(Drain(sort), (std::vector<Pair>{{"SAME", 9}, {"A", 3}}));
}

// A key that begins a longer one sorts before it whatever the record numbers: the record
// number is never compared with the rest of the longer key.
TEST(TxbSortOrder, AKeyThatBeginsAnotherComesFirstWhateverTheRecords) {
  const std::string one("\xBF\xF0", 2);  // 1.0 in the index's numeric form
  const std::string aboveOne("\xBF\xF0\x00\x00\x00\x00\x00\x01", 8);
  const std::string abZero("AB\x00", 3);
  for (bool ascending : {true, false}) {
    TxbSort sort(8, ascending, false);
    sort.Add(Raw(aboveOne), 1);
    sort.Add(Raw(one), 5);
    sort.Add(Raw(abZero), 1);
    sort.Add(Raw("AB"), 16777216);
    std::vector<Pair> expected = {
        {abZero.substr(0, 2), 16777216}, {abZero, 1}, {one, 5}, {aboveOne, 1}};
    if (!ascending) std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(Drain(sort, TxbVariant::Raw), expected) << "ascending " << ascending;
  }
}

// Bytes 0 and 1 need an escape in the sort; long runs without them are copied in blocks, so
// each position of a longer key is tried, with bytes just above them beside.
TEST(TxbSortOrder, ZerosAndOnesAnywhereInALongKey) {
  TxbSort sort(24, true, false);
  std::vector<Pair> pairs;
  std::int32_t record = 0;
  for (std::size_t at = 0; at < 20; ++at) {
    for (char byte : {'\0', '\1', '\2'}) {
      std::string bytes(20, 'A');
      bytes[at] = byte;
      sort.Add(Raw(bytes), ++record);
      pairs.push_back({bytes, record});
    }
  }
  std::sort(pairs.begin(), pairs.end(), ByKeyThenRecord);
  EXPECT_EQ(Drain(sort, TxbVariant::Raw), pairs);
}

// Numbers whose doubles end in different numbers of zero bytes.
TEST(TxbSortOrder, NumbersOrderWhateverTheirTrailingZeroBytes) {
  TxbSort sort(8, true, false);
  sort.Add(Number(-99952), 100000);  // 0xC0F8670000000000
  sort.Add(Number(-99965), 1);       // 0xC0F867D000000000
  sort.Add(Number(1.0), 0x7FFFFFFF);
  sort.Add(Number(1.0000000000000002), 2);
  TxbVariant key;
  std::int32_t record = 0;
  std::vector<double> got;
  while (sort.Next(key, record))
    got.push_back(key.AsNumber());
  EXPECT_EQ(got, (std::vector<double>{-99965, -99952, 1.0, 1.0000000000000002}));
}

TEST(TxbSortOrder, AnEmptySortGivesNothingAndKeepsSayingSo) {
  TxbSort sort(10, true, false);
  TxbVariant key;
  std::int32_t record = 0;
  EXPECT_FALSE(sort.Next(key, record));
  EXPECT_FALSE(sort.Next(key, record));
  EXPECT_EQ(sort.keysAdded(), 0);
}

TEST(TxbSortErrors, RefusesKeyLengthsAbove240) {
  EXPECT_EQ(ErrorOf([] { TxbSort sort(241, true, false); }).first,
            "Sort key length greater than 240 bytes");
  TxbSort longest(240, true, false);
  longest.Add(Text(std::string(240, 'x')), 1);
  EXPECT_EQ(Records(Drain(longest)), std::vector<std::int32_t>{1});
}

TEST(TxbSortErrors, RefusesKeysLongerThanTheMaximumAndKeepsTheOthers) {
  TxbSort sort(3, true, false);
  sort.Add(Text("ABC"), 1);
  const std::string tooLong = "Sort key length greater than 240 bytes";
  EXPECT_EQ(ErrorOf([&] { sort.Add(Text("ABCD"), 2); }).first, tooLong);
  EXPECT_EQ(ErrorOf([&] { sort.Add(Raw("ABCD"), 3); }).first, tooLong);
  EXPECT_EQ(ErrorOf([&] { sort.Add(Number(1), 4); }).first, tooLong);
  EXPECT_EQ(ErrorOf([&] { sort.Add(Date(2451545), 5); }).first, tooLong);
  EXPECT_EQ(sort.keysAdded(), 1);
  EXPECT_EQ(Drain(sort), (std::vector<Pair>{{"ABC", 1}}));
}

TEST(TxbSortErrors, RefusesLogicalAndEmptyVariants) {
  TxbSort sort(10, true, false);
  TxbVariant logical;
  logical.SetLogical(true);
  EXPECT_EQ(ErrorOf([&] { sort.Add(logical, 1); }).first, "Variant type cannot be sorted");
  EXPECT_EQ(ErrorOf([&] { sort.Add(TxbVariant(), 2); }).first, "Variant type cannot be sorted");
  EXPECT_EQ(sort.keysAdded(), 0);
}

TEST(TxbSortErrors, RefusesKeysOnceRetrievalBegan) {
  TxbSort sort(10, true, false);
  sort.Add(Text("B"), 1);
  sort.Add(Text("A"), 2);
  TxbVariant key;
  std::int32_t record = 0;
  ASSERT_TRUE(sort.Next(key, record));
  EXPECT_EQ(ErrorOf([&] { sort.Add(Text("C"), 3); }).first,
            "Cannot add sort keys after beginning retrieval");
  ASSERT_TRUE(sort.Next(key, record));
  EXPECT_EQ(key.bytes(), "B");
  EXPECT_FALSE(sort.Next(key, record));
  EXPECT_EQ(ErrorOf([&] { sort.Add(Text("C"), 3); }).first,
            "Cannot add sort keys after beginning retrieval");
}

// Reference orders below: std::sort of the pairs (ByKeyThenRecord), or std::stable_sort by
// key alone of pairs made in record order (equal keys then stay in record order).

std::string RandomText(std::mt19937& random, std::size_t maxLength, int letters) {
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<int> letter(0, letters - 1);
  std::string text(length(random), ' ');
  for (char& c : text)
    c = static_cast<char>('A' + letter(random));
  return text;
}

// More than one batch holds at once (2 MiB of strings): several runs must merge into one
// order.
TEST(TxbSortLarge, ManyRunsGiveTheOrderOfOneUnlimitedSort) {
  std::mt19937 random(7);
  TxbSort sort(40, true, false);
  std::vector<Pair> pairs;
  std::uniform_int_distribution<std::int32_t> recordOf(1, 5000000);
  for (int i = 0; i < 250000; ++i) {
    std::string text = RandomText(random, 40, 26);
    std::int32_t record = recordOf(random);
    sort.Add(Text(text), record);
    pairs.push_back({text, record});
  }
  std::sort(pairs.begin(), pairs.end(), ByKeyThenRecord);
  EXPECT_EQ(Drain(sort), pairs);
}

TEST(TxbSortLarge, LongestKeysAcrossManyRuns) {
  std::mt19937 random(11);
  TxbSort sort(240, true, true);
  std::vector<Pair> pairs;
  const std::string shared(200, 'P');
  for (std::int32_t record = 1; record <= 20000; ++record) {
    std::string text = shared + RandomText(random, 40, 3);
    text.resize(240, 'Q');
    sort.Add(Text(text), record);
    pairs.push_back({text, record});
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& left, const Pair& right) { return left.key < right.key; });
  pairs.erase(
      std::unique(pairs.begin(), pairs.end(),
                  [](const Pair& left, const Pair& right) { return left.key == right.key; }),
      pairs.end());
  EXPECT_EQ(Drain(sort), pairs);
}

// Keys of up to 240 bytes 0 and 1, which take twice their length in the sort (about 480
// bytes each), across several runs.
TEST(TxbSortLarge, LongestRawKeysOfZerosAndOnes) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> bit(0, 1);
  TxbSort sort(240, true, false);
  std::vector<Pair> pairs;
  for (std::int32_t record = 1; record <= 10000; ++record) {
    std::string bytes(240, '\0');
    for (char& byte : bytes)
      byte = static_cast<char>(bit(random));
    bytes.resize(200 + static_cast<std::size_t>(record % 41));
    sort.Add(Raw(bytes), record);
    pairs.push_back({bytes, record});
  }
  std::sort(pairs.begin(), pairs.end(), ByKeyThenRecord);
  EXPECT_EQ(Drain(sort, TxbVariant::Raw), pairs);
}

// Random texts of mixed lengths over few letters (long shared beginnings, many equal keys),
// each direction and mode, sizes from a single run to several.
TEST(TxbSortLarge, RandomTextsMatchAStableSortByKey) {
  std::mt19937 random(2026);
  for (int size : {1, 50, 4000, 60000}) {
    for (bool ascending : {true, false}) {
      for (bool unique : {false, true}) {
        TxbSort sort(30, ascending, unique);
        std::vector<Pair> pairs;
        int letters = size < 1000 ? 3 : 6;
        for (std::int32_t record = 1; record <= size; ++record) {
          std::string text = RandomText(random, 30, letters);
          sort.Add(Text(text + std::string(record % 3, ' ')), record);
          pairs.push_back({text, record});
        }
        // Descending: key order reversed, equal keys highest record first.
        if (!ascending) std::reverse(pairs.begin(), pairs.end());
        std::stable_sort(pairs.begin(), pairs.end(), [&](const Pair& left, const Pair& right) {
          return ascending ? left.key < right.key : left.key > right.key;
        });
        if (unique) {
          pairs.erase(std::unique(pairs.begin(), pairs.end(),
                                  [](const Pair& left, const Pair& right) {
                                    return left.key == right.key;
                                  }),
                      pairs.end());
        }
        EXPECT_EQ(Drain(sort), pairs)
            << "size " << size << " ascending " << ascending << " unique " << unique;
      }
    }
  }
}

// Two and more runs in each direction and mode: keys over four letters share long beginnings
// and repeat, so the radix pass, the comparison past the first 16 bytes and the merge all
// decide between equal and nearly equal keys.
TEST(TxbSortLarge, DescendingAndUniqueAcrossRunsMatchAStableSortByKey) {
  std::mt19937 random(404);
  for (bool ascending : {false, true}) {
    for (bool unique : {false, true}) {
      TxbSort sort(60, ascending, unique);
      std::vector<Pair> pairs;
      for (std::int32_t record = 1; record <= 140000; ++record) {
        std::string text =
            std::string(static_cast<std::size_t>(record % 40), 'K') + RandomText(random, 12, 4);
        sort.Add(Text(text), record);
        pairs.push_back({text, record});
      }
      if (!ascending) std::reverse(pairs.begin(), pairs.end());
      std::stable_sort(pairs.begin(), pairs.end(), [&](const Pair& left, const Pair& right) {
        return ascending ? left.key < right.key : left.key > right.key;
      });
      if (unique) {
        pairs.erase(
            std::unique(pairs.begin(), pairs.end(),
                        [](const Pair& left, const Pair& right) { return left.key == right.key; }),
            pairs.end());
      }
      EXPECT_EQ(Drain(sort), pairs) << "ascending " << ascending << " unique " << unique;
    }
  }
}

// Full batches are sorted and merged on a second thread: a sort given up while a batch is
// being sorted, or with most of its merge still to come, must wait for that thread and free
// what it used (the sanitizer build checks both), and a second sort meanwhile is unaffected.
TEST(TxbSortLarge, GivenUpWhileSortingOrMergingFinishesCleanly) {
  std::mt19937 random(17);
  auto fill = [&random](TxbSort& sort) {
    for (std::int32_t record = 1; record <= 200000; ++record)
      sort.Add(Text(RandomText(random, 40, 26)), record);
  };
  {
    TxbSort sort(40, true, false);
    fill(sort);  // the last full batch is likely still being sorted here
  }
  TxbSort other(40, false, false);
  other.Add(Text("B"), 1);
  other.Add(Text("A"), 2);
  {
    TxbSort sort(40, true, true);
    fill(sort);
    TxbVariant key;
    std::int32_t record = 0;
    for (int i = 0; i < 10; ++i)
      ASSERT_TRUE(sort.Next(key, record));
  }
  EXPECT_EQ(Drain(other), (std::vector<Pair>{{"B", 1}, {"A", 2}}));
}

TEST(TxbSortLarge, RandomNumbersMatchAStableSortByValue) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> cents(-100000, 100000);
  TxbSort sort(8, true, false);
  std::vector<std::pair<double, std::int32_t>> pairs;
  for (std::int32_t record = 1; record <= 200000; ++record) {
    // Whole numbers share many trailing zero bytes, fractions few: stored lengths vary.
    double value = record % 2 ? cents(random) / 100.0 : cents(random) * 1.0;
    if (value == 0) value = 0;  // no -0, which std ordering counts equal to 0
    sort.Add(Number(value), record);
    pairs.emplace_back(value, record);
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const auto& left, const auto& right) { return left.first < right.first; });
  std::vector<std::pair<double, std::int32_t>> got;
  TxbVariant key;
  std::int32_t record = 0;
  while (sort.Next(key, record))
    got.emplace_back(key.AsNumber(), record);
  EXPECT_EQ(got, pairs);
}

}  // namespace
}  // namespace tables::testing
