// Searching compound index pages without decoding them whole: on random trees of real pages the
// page search must land where the search over fully decoded nodes lands, for exact and prefix
// seeks, equal keys, descending tags, ranges and the steps that follow; damaged pages are
// refused all the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tables/index/cdx_key.hpp"
#include "tables/index/cdx_layout.hpp"
#include "tables/index/index_tag.hpp"
#include "tables/storage/byte_order.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

using Page = std::array<std::uint8_t, kCdxPageSize>;

// A tag on compound index pages held in memory, searching them either on the page bytes or in
// nodes decoded whole.
class PageTag : public XBobjIndexTag {
 public:
  PageTag(const CdxKeyForm& form, std::vector<XBobjIndexKeyData> entries, bool searchPages,
          bool descending, int perLeaf, int perInterior)
      : XBobjIndexTag("PAGES"), form_(form), searchPages_(searchPages) {
    SetKeyTraits(form.character, descending, false);
    const CdxLeafLayout layout = CdxLeafLayoutFor(form.keyLength, 100000);
    std::vector<XBobjIndexKeyData> level;
    for (std::size_t at = 0; at < entries.size() || at == 0;) {
      CdxLeafWriter writer(form, layout);
      while (at < entries.size() && writer.count() < perLeaf &&
             writer.SizeOf(entries[at].key) <= writer.freeBytes()) {
        writer.Append(entries[at].key, entries[at].record);
        ++at;
      }
      const std::uint32_t page = NewPage();
      writer.Write(pages_[page].data(), cdx_attribute::Leaf, kNoPage, kNoPage);
      if (at > 0) level.push_back({entries[at - 1].key, entries[at - 1].record, page});
      if (at == entries.size()) break;
    }
    root_ = level.empty() ? 1024 : level.front().pointer;
    while (level.size() > 1) {
      std::vector<XBobjIndexKeyData> above;
      for (std::size_t at = 0; at < level.size(); at += static_cast<std::size_t>(perInterior)) {
        const auto end = std::min(level.size(), at + static_cast<std::size_t>(perInterior));
        const std::vector<XBobjIndexKeyData> children(level.begin() + static_cast<long>(at),
                                                      level.begin() + static_cast<long>(end));
        const std::uint32_t page = NewPage();
        CdxWriteInterior(form, children, pages_[page].data(), cdx_attribute::Interior, kNoPage,
                         kNoPage);
        above.push_back({children.back().key, children.back().record, page});
      }
      root_ = above.front().pointer;
      level = std::move(above);
    }
    pages_[root_][0] |= cdx_attribute::Root;
  }

  std::string ConvertKey(const TxbVariant& value) const override {
    return std::string(CdxTrimBlanks(value.bytes()));
  }
  std::uint32_t ReadRootOffset() override { return root_; }
  void ReadNode(std::uint32_t page, XBobjIndexKey& node) override {
    CdxDecodeNode(form_, PageAt(page), page, node);
  }
  int SearchNode(std::uint32_t page, const XBobjNodeSearch& search, XBobjIndexKey& node) override {
    if (!searchPages_) return XBobjIndexTag::SearchNode(page, search, node);
    int result = 1;
    try {
      result = CdxSearchNode(form_, PageAt(page), page, search, node);
    } catch (const CdxLayoutError& error) {
      NodeFault(page, error.what());
    }
    return result;
  }

  std::uint32_t root() const { return root_; }
  Page& page(std::uint32_t offset) { return pages_.at(offset); }

 private:
  std::uint32_t NewPage() {
    const auto offset = static_cast<std::uint32_t>(1024 + 512 * pages_.size());
    pages_[offset] = Page{};
    return offset;
  }
  const std::uint8_t* PageAt(std::uint32_t page) {
    const auto found = pages_.find(page);
    if (found == pages_.end()) NodeFault(page, "no such page");
    return found->second.data();
  }

  CdxKeyForm form_;
  bool searchPages_;
  std::map<std::uint32_t, Page> pages_;
  std::uint32_t root_ = 1024;
};

std::string RandomText(std::mt19937& random, int length) {
  static constexpr char kLetters[] = "AB C";
  std::string text(std::uniform_int_distribution<std::size_t>(0, length)(random), ' ');
  for (char& letter : text)
    letter = kLetters[std::uniform_int_distribution<std::size_t>(0, 3)(random)];
  return std::string(CdxTrimBlanks(text));
}

// Sorted entries with random text keys of a small alphabet (many equal keys and shared
// beginnings), records 1 to count.
std::vector<XBobjIndexKeyData> RandomTextEntries(std::mt19937& random, int count, int length) {
  std::vector<XBobjIndexKeyData> entries;
  for (int record = 1; record <= count; ++record)
    entries.push_back({RandomText(random, length), record, 0});
  std::sort(entries.begin(), entries.end(), [](const auto& left, const auto& right) {
    const int order = CdxCompareKeys(left.key, right.key);
    return order != 0 ? order < 0 : left.record < right.record;
  });
  return entries;
}

// Probes: keys of the tree, their beginnings, and texts that may lie anywhere.
std::vector<std::string> Probes(std::mt19937& random, const std::vector<XBobjIndexKeyData>& entries,
                                int length) {
  std::vector<std::string> probes;
  for (int i = 0; i < 60; ++i) {
    const std::string& key =
        entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)].key;
    probes.push_back(key);
    probes.push_back(
        key.substr(0, std::uniform_int_distribution<std::size_t>(0, key.size())(random)));
    probes.push_back(RandomText(random, length));
  }
  return probes;
}

// What a tag does on a seek and the steps after it: every record and BOF/EOF state met.
std::vector<std::int32_t> SeekAndStep(XBobjIndexTag& tag, const std::string& probe, bool exact,
                                      int code) {
  std::vector<std::int32_t> trace{tag.SeekKey(probe, exact), tag.eof()};
  trace.push_back(tag.current() ? tag.current()->record : 0);
  for (int step = 0; step < 4; ++step) {
    trace.push_back(tag.Move(code));
    trace.push_back(tag.bof() * 2 + tag.eof());
  }
  return trace;
}

std::vector<std::int32_t> WalkRange(XBobjIndexTag& tag, const std::string& low,
                                    const std::string& high, bool highAsPrefix) {
  std::vector<std::int32_t> records{tag.SetRange(low, high, highAsPrefix)};
  for (std::int32_t record = records.back(); record != 0; record = tag.Move(xb_move::Next))
    records.push_back(record);
  for (std::int32_t record = tag.Move(xb_move::Last); record != 0;
       record = tag.Move(xb_move::Previous))
    records.push_back(record);
  tag.ClearRange();
  return records;
}

struct TreeShape {
  int count;
  int perLeaf;
  int perInterior;
};

class CdxPageSearch : public ::testing::TestWithParam<TreeShape> {};

TEST_P(CdxPageSearch, LandsWhereTheDecodedSearchLands) {
  const CdxKeyForm form{8, true, false};
  std::mt19937 random(static_cast<unsigned>(GetParam().count * 31 + GetParam().perLeaf));
  const auto entries = RandomTextEntries(random, GetParam().count, form.keyLength);
  for (const bool descending : {false, true}) {
    SCOPED_TRACE(descending ? "descending" : "ascending");
    PageTag pages(form, entries, true, descending, GetParam().perLeaf, GetParam().perInterior);
    PageTag decoded(form, entries, false, descending, GetParam().perLeaf, GetParam().perInterior);
    for (const std::string& probe : Probes(random, entries, form.keyLength)) {
      SCOPED_TRACE("probe '" + probe + "'");
      for (const bool exact : {true, false}) {
        for (const int code : {xb_move::Next, xb_move::Previous}) {
          ASSERT_EQ(SeekAndStep(pages, probe, exact, code),
                    SeekAndStep(decoded, probe, exact, code));
        }
      }
      const XBobjIndexKeyData& entry =
          entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
      ASSERT_EQ(pages.SeekEntry(entry.key, entry.record), entry.record);
      ASSERT_EQ(decoded.SeekEntry(entry.key, entry.record), entry.record);
      ASSERT_EQ(pages.Move(xb_move::Next), decoded.Move(xb_move::Next));
      const std::string other = RandomText(random, form.keyLength);
      const auto [low, high] = std::minmax(probe, other);
      for (const bool highAsPrefix : {false, true})
        ASSERT_EQ(WalkRange(pages, low, high, highAsPrefix),
                  WalkRange(decoded, low, high, highAsPrefix));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, CdxPageSearch,
                         ::testing::Values(TreeShape{1, 1000, 2}, TreeShape{40, 1000, 2},
                                           TreeShape{300, 3, 2}, TreeShape{500, 7, 3},
                                           TreeShape{2000, 1000, 50}));

TEST(CdxPageSearch, FindsTheFirstOfEqualKeys) {
  const CdxKeyForm form{8, true, false};
  std::mt19937 random(7);
  const auto entries = RandomTextEntries(random, 400, form.keyLength);
  PageTag tag(form, entries, true, false, 5, 3);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const bool first = i == 0 || entries[i - 1].key != entries[i].key;
    if (first) {
      EXPECT_EQ(tag.SeekKey(entries[i].key, true), entries[i].record) << entries[i].key;
    }
  }
}

TEST(CdxPageSearch, ComparesNumericKeysWithTheirTrailingZeroBytes) {
  const CdxKeyForm form{kCdxNumericKeyLength, false, false};
  std::vector<XBobjIndexKeyData> entries;
  for (const double value : {-5.0, -1.0, 0.0, 0.5, 1.0, 2.0, 2.0, 256.0, 1e9})
    entries.push_back({CdxNumberKey(value), static_cast<std::int32_t>(entries.size() + 1), 0});
  PageTag pages(form, entries, true, false, 2, 2);
  PageTag decoded(form, entries, false, false, 2, 2);
  for (const double value : {-5.0, -3.0, 0.0, 1.0, 2.0, 3.0, 1e9, 2e9}) {
    const std::string key = CdxNumberKey(value);
    EXPECT_EQ(SeekAndStep(pages, key, true, xb_move::Next),
              SeekAndStep(decoded, key, true, xb_move::Next))
        << value;
  }
  EXPECT_EQ(pages.SeekKey(CdxNumberKey(2.0), true), 6);
}

TEST(CdxPageSearch, RefusesDamagedPagesOnTheSearchedPath) {
  const CdxKeyForm form{8, true, false};
  std::mt19937 random(3);
  const auto entries = RandomTextEntries(random, 200, form.keyLength);
  const auto faultOf = [&](auto damage) {
    PageTag tag(form, entries, true, false, 5, 3);
    damage(tag);
    try {
      tag.SeekKey(entries[100].key, true);
    } catch (const EXbaseError& error) {
      EXPECT_EQ(error.code(), kInvalidIndexCode);
      return std::string(error.what());
    }
    return std::string("no fault");
  };
  // Every child pointer of the root leads nowhere a page can be.
  EXPECT_NE(faultOf([&](PageTag& tag) {
              Page& root = tag.page(tag.root());
              for (int i = 0; i < ReadLE16(root.data() + 2); ++i)
                WriteBE32(root.data() + 12 + i * 16 + 12, 100);
            }).find("is not a page"),
            std::string::npos);
  EXPECT_NE(faultOf([&](PageTag& tag) {
              // No bytes per entry in any leaf.
              for (std::uint32_t page = 1024; page < tag.root(); page += 512) {
                if (tag.page(page)[0] & cdx_attribute::Leaf) tag.page(page)[23] = 0;
              }
            }).find("do not fit together"),
            std::string::npos);
}

}  // namespace
}  // namespace tables::testing
