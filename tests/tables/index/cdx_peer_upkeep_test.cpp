// Compound files written by Harbour kept current record by record: leaves laid out by another
// engine are split and rewritten, and every tag still passes the verifier and walks as the same
// tag built afresh.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/index/cdx_upkeep_support.hpp"

namespace tables::testing {
namespace {

class CdxPeerUpkeep : public ::testing::TestWithParam<const char*> {
 protected:
  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

// The definition a tag of the file was made with.
XbTagDefinition DefinitionOf(XBobjCDXTag& tag) {
  XbTagDefinition definition =
      TagDefinition(tag.name(), tag.header().keyExpression, tag.header().forExpression);
  definition.unique = tag.unique();
  definition.ascending = !tag.descending();
  definition.general = tag.header().general;
  return definition;
}

TEST_P(CdxPeerUpkeep, ChangesAndAppendsKeepEveryTagAsAFreshBuild) {
  const std::string name = GetParam();
  for (const char* extension : {".dbf", ".fpt", ".cdx"})
    sim.CopyFixture(name + extension);
  XBO_dBaseFld table(sim.machine(), StorageTestMachine::Path(name + ".dbf"), false, true, "");
  XBobjCDXFile index(table, name + ".cdx", "", XbIndexOpenMode{false, false, true});
  ASSERT_GT(index.TagCount(), 0);
  const std::uint64_t size = index.FileSize();
  std::mt19937 random(17);
  const std::int32_t stored = table.recordCount();
  // New images are other records' images, so every key is one the table can hold.
  const auto copyOf = [&](std::int32_t source) {
    table.ReadRecord(source);
    std::vector<std::uint8_t> image(table.recordImage(),
                                    table.recordImage() + table.recordLength());
    return [image](XBO_dBaseFld& t) { std::memcpy(t.recordImage(), image.data(), image.size()); };
  };
  for (int i = 0; i < 600; ++i) {
    const auto pick = [&] {
      return static_cast<std::int32_t>(random() % static_cast<unsigned>(table.recordCount())) + 1;
    };
    const Fill fill =
        copyOf(static_cast<std::int32_t>(random() % static_cast<unsigned>(stored)) + 1);
    if (i % 3 == 0) {
      UpkeepTable::Append(table, index, fill);
    } else {
      UpkeepTable::Change(table, index, pick(), fill);
    }
  }
  EXPECT_GT(index.FileSize(), size) << "no node split";
  EXPECT_EQ(Faults(XbVerifyCdx(index)), "");
  XBobjCDXFile fresh(table, "FRESH.CDX", "", XbIndexOpenMode{true, false, true});
  for (int i = 0; i < index.TagCount(); ++i) {
    XBobjCDXTag& tag = *index.CdxTag(i);
    const XbTagDefinition definition = DefinitionOf(tag);
    fresh.AddTag(definition);
    EXPECT_EQ(UpkeepTable::Seen(tag, definition.unique),
              UpkeepTable::Seen(*fresh.TagByName(definition.name), definition.unique))
        << definition.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Harbour, CdxPeerUpkeep,
                         ::testing::Values("hb_cdx_small", "hb_cdx_opts", "hb_cdx_5k"));

}  // namespace
}  // namespace tables::testing
