// Exact seeks on compound tags: keys longer than a string's inline storage are found without
// an allocation once the search's buffers have grown, interior keys compared with their blank
// padding order as their text without it, bytes below the blank included, and trailing blanks
// are cut wherever the text ends.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "exp_allocation_counter.hpp"
#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_key.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/create_table.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {
namespace {

// Sites of 20 to 39 characters, many sharing their beginnings.
std::vector<std::string> RandomSites(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> sites;
  for (int i = 0; i < count; ++i) {
    std::string site = i % 2 == 0 ? "http://www." : "shop.";
    const auto length = 20 + random() % 20;
    while (site.size() < length)
      site += static_cast<char>('a' + random() % 26);
    sites.push_back(site);
  }
  return sites;
}

class CdxSeek : public ::testing::Test {
 protected:
  CdxSeek() : sites_(RandomSites(600, 5)) {
    CreateTable(sim_.machine(), StorageTestMachine::Path("S.DBF"), 0x03, {{"SITE", 'C', 40}}, "");
    table_ = std::make_unique<XBO_dBaseFld>(sim_.machine(), StorageTestMachine::Path("S.DBF"),
                                            false, true, "");
    for (const std::string& site : sites_) {
      table_->BlankRecord();
      table_->SetFieldText("SITE", site);
      table_->AppendRecord();
    }
    XBobjCDXFile index(*table_, "S.CDX", "", XbIndexOpenMode{true, false, true});
    XbTagDefinition definition;
    definition.name = "SITE";
    definition.keyExpression = "Upper(SITE)";
    index.AddTag(definition);
  }

  // The upper-case site of every record, as a seek's value.
  std::vector<TxbVariant> Keys() const {
    std::vector<TxbVariant> keys(sites_.size());
    for (std::size_t i = 0; i < sites_.size(); ++i) {
      std::string upper = sites_[i];
      for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      keys[i].SetText(upper);
    }
    return keys;
  }

  StorageTestMachine sim_;
  TxbExpEngineScope expressions_;
  std::vector<std::string> sites_;
  std::unique_ptr<XBO_dBaseFld> table_;
};

TEST_F(CdxSeek, FindsEveryLongKeyWithoutAllocating) {
  XBobjCDXFile index(*table_, "S.CDX", "", XbIndexOpenMode{false, false, false});
  XBobjIndexTag& tag = *index.TagByName("SITE");
  const std::vector<TxbVariant> keys = Keys();
  std::vector<std::int32_t> found(keys.size());
  const auto seekAll = [&] {
    for (std::size_t i = 0; i < keys.size(); ++i)
      found[i] = tag.Seek(keys[i], true);
  };
  seekAll();
  for (std::size_t i = 0; i < found.size(); ++i)
    ASSERT_EQ(found[i], static_cast<std::int32_t>(i + 1)) << sites_[i];
  const long before = AllocationCount();
  seekAll();
  EXPECT_EQ(AllocationCount() - before, 0);
}

std::string Padded(std::string text, std::size_t length) {
  text.resize(length, ' ');
  return text;
}

// CdxCompareKeys against the key without its trailing blanks, a key that begins with probe
// counting as equal when prefixes match.
int TrimmedOrder(const std::string& probe, const std::string& key, bool prefixMatches) {
  const std::string_view trimmed = CdxTrimBlanks(key);
  const int order = CdxCompareKeys(probe, trimmed);
  if (order < 0 && prefixMatches && trimmed.substr(0, probe.size()) == probe) return 0;
  return order;
}

TEST(CdxComparePadded, OrdersAsTheTextWithoutItsPadding) {
  // Every text of up to three of these bytes against every other, padded to four: bytes
  // below the blank sort before the padding, inner blanks are part of the key.
  const std::string alphabet{'\0', '\x1f', ' ', 'A', '\xff'};
  std::vector<std::string> texts{""};
  for (std::size_t from = 0; texts.back().size() < 3;) {
    const std::size_t to = texts.size();
    for (std::size_t i = from; i < to; ++i) {
      for (char c : alphabet)
        texts.push_back(texts[i] + c);
    }
    from = to;
  }
  int checked = 0;
  for (const std::string& probe : texts) {
    for (const std::string& key : texts) {
      for (const bool prefix : {false, true}) {
        ASSERT_EQ(CdxComparePadded(probe, Padded(key, 4), prefix), TrimmedOrder(probe, key, prefix))
            << "probe '" << probe << "' key '" << key << "' prefix " << prefix;
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 156 * 156 * 2);
}

TEST(CdxComparePadded, LongKeysCompareBeyondTheirFirstWords) {
  const std::string key = "HTTP://WWW.EXAMPLE.COM";
  EXPECT_EQ(CdxComparePadded(key, Padded(key, 60), false), 0);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.CO", Padded(key, 60), false), -1);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.CO", Padded(key, 60), true), 0);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.COMX", Padded(key, 60), false), 1);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.COM\x01", Padded(key, 60), false), 1);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.COM  X", Padded(key, 60), false), 1);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.COL", Padded(key, 60), false), -1);
  EXPECT_EQ(CdxComparePadded("HTTP://WWW.EXAMPLE.COM", Padded(key + "  \x01", 60), false), -1);
}

TEST(CdxTrimBlanks, RemovesOnlyTheBlanksAtTheEnd) {
  // The last byte kept at every place of an eight-byte word, behind up to 20 blanks, with
  // blanks before it and bytes next to the blank's value.
  for (const char last : {'A', '!', '\x1f', '\0'}) {
    for (std::size_t kept = 0; kept <= 17; ++kept) {
      for (std::size_t blanks = 0; blanks <= 20; ++blanks) {
        std::string text(kept, ' ');
        if (kept > 0) text[kept - 1] = last;
        if (kept > 2) text[0] = 'X';
        const std::string padded = text + std::string(blanks, ' ');
        ASSERT_EQ(CdxTrimBlanks(padded), std::string_view(padded).substr(0, kept))
            << "kept " << kept << " blanks " << blanks;
      }
    }
  }
}

}  // namespace
}  // namespace tables::testing
