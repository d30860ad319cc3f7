// Index files through the handler: the index list, tag order, seeking exact and near, the tags
// of a peer's compound file, and the errors of files that cannot be opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tables/handler/index_list.hpp"
#include "tables/storage/xbase_error.hpp"
#include "tests/tables/handler/handler_test_table.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

class OrderAndSeek : public HandlerTest {
 protected:
  // NUM counts down from the number of names; deleted: record numbers marked deleted.
  std::unique_ptr<DBFObject> Indexed(const std::vector<std::string>& names,
                                     const std::vector<std::size_t>& deleted = {}) {
    std::vector<HandlerRow> rows;
    for (std::size_t i = 0; i < names.size(); ++i) {
      const bool gone = std::find(deleted.begin(), deleted.end(), i + 1) != deleted.end();
      rows.push_back({names[i], static_cast<double>(names.size() - i), gone, ""});
    }
    MakeHandlerTable(sim.machine(), rows);
    auto table = Open();
    table->CreateIndexTag("T.CDX", "NAME", "NAME", "", true, 0);
    table->CreateIndexTag("T.CDX", "NUM", "NUM", "", true, 0);
    return table;
  }
};

TEST(IndexList, SeparatorsQuotesFoldersAndExtensions) {
  EXPECT_EQ(XbIndexListNames("a.cdx; b"), (std::vector<std::string>{"a.cdx", "b"}));
  EXPECT_EQ(XbIndexListNames(" \"my file.cdx\",x;; ,"),
            (std::vector<std::string>{"my file.cdx", "x"}));
  EXPECT_TRUE(XbIndexListNames(" ,; ").empty());
}

TEST_F(OrderAndSeek, IndexFileNamesTakeTheTablesFolderAndNdx) {
  auto& casing = sim.machine().codePages();
  EXPECT_EQ(XbIndexFilePath(casing, "C:\\DATA", "a.cdx"), "C:\\DATA\\A.CDX");
  EXPECT_EQ(XbIndexFilePath(casing, "C:\\DATA", "b"), "C:\\DATA\\B.NDX");
  EXPECT_EQ(XbIndexFilePath(casing, "C:\\DATA", "D:\\X\\c.ntx"), "D:\\X\\C.NTX");
}

TEST_F(OrderAndSeek, TagOrderAndNaturalOrder) {
  auto table = Indexed({"DELTA", "ALPHA", "CHARLIE", "BRAVO"});
  table->SelectOrder("name", false);
  EXPECT_EQ(table->currentTagName(), "NAME");
  EXPECT_FALSE(table->readAhead());
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2, 4, 3, 1}));
  table->GoRecord(xb_move::Last);
  EXPECT_EQ(table->position(), 1);
  table->Skip(-2);
  EXPECT_EQ(table->position(), 4);
  table->SelectOrder("NUM", true);
  EXPECT_EQ(table->position(), 4);
  table->Skip(1);
  EXPECT_EQ(table->position(), 3);
  table->SelectOrder("", false);
  EXPECT_TRUE(table->readAhead());
  EXPECT_EQ(table->position(), 1);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST_F(OrderAndSeek, TagOrderHidesDeletedRecordsWhenAsked) {
  auto table = Indexed({"B", "A", "C"}, {2});
  table->SelectOrder("NAME", false);
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 3}));
}

TEST_F(OrderAndSeek, TagsAreNumberedAcrossSlots) {
  auto table = Indexed({"A"});
  ASSERT_NE(table->TagByNumber(2), nullptr);
  EXPECT_EQ(table->TagByNumber(1)->name(), "NAME");
  EXPECT_EQ(table->TagByNumber(2)->name(), "NUM");
  EXPECT_EQ(table->TagByNumber(3), nullptr);
  EXPECT_EQ(table->TagByNumber(0), nullptr);
  EXPECT_EQ(ErrorOf([&] { table->SelectOrder(" nosuch ", false); }).first,
            "Cannot find index tag NOSUCH");
}

TEST_F(OrderAndSeek, SeekExactAndPrefixAndNear) {
  auto table = Indexed({"ABD", "ABC", "XY"});
  EXPECT_FALSE(table->Seek("ABC"));
  EXPECT_TRUE(table->eof());
  table->SelectOrder("NAME", false);
  EXPECT_TRUE(table->Seek("ABC"));
  EXPECT_EQ(table->position(), 2);
  EXPECT_FALSE(table->Seek("AB"));
  EXPECT_TRUE(table->eof());
  table->SetSeekOptions(false, false);
  EXPECT_TRUE(table->Seek("AB"));
  EXPECT_EQ(table->position(), 2);
  table->SetSeekOptions(true, true);
  EXPECT_FALSE(table->Seek("B"));
  EXPECT_EQ(table->position(), 3);
  EXPECT_FALSE(table->eof());
  EXPECT_FALSE(table->Seek("ZZ"));
  EXPECT_TRUE(table->eof());
  EXPECT_EQ(table->SeekTag("num", "3"), 1);
  EXPECT_EQ(table->SeekTag("NUM", "4"), -1);
}

TEST_F(OrderAndSeek, SeekPassesOverADeletedFirstMatchWhenDeletedAreHidden) {
  auto table = Indexed({"SAME", "SAME", "OTHER"}, {1});
  table->SelectOrder("NAME", false);
  EXPECT_TRUE(table->Seek("SAME"));
  EXPECT_EQ(table->position(), 1);
  table->SetUseDeleted(false);
  EXPECT_TRUE(table->Seek("SAME"));
  EXPECT_EQ(table->position(), 2);
}

TEST_F(OrderAndSeek, AFailedTagBuildReturnsToBrowsing) {
  auto table = Indexed({"A"});
  EXPECT_THROW(table->CreateIndexTag("T.CDX", "BAD", "NOSUCH", "", true, 0), EXbaseError);
  EXPECT_EQ(table->workState(), xb_work::Browsing);
  EXPECT_EQ(table->lockCount(), 0);
}

TEST_F(OrderAndSeek, FilesThatCannotBeOpened) {
  MakeHandlerTable(sim.machine(), NumberedRows(1));
  auto table = Open();
  const auto missing = ErrorOf([&] { table->OpenIndexes("nosuch.cdx", ""); });
  EXPECT_NE(missing.first.find("C:\\DATA\\NOSUCH.CDX"), std::string::npos) << missing.first;
  EXPECT_EQ(missing.second, xb_sub::OwnText);
  sim.WriteBytes(StorageTestMachine::Path("B.NDX"), std::vector<std::uint8_t>(512, 0));
  try {
    table->OpenIndexes("b", "");
    ADD_FAILURE() << "an NDX file of zeros opened";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), kInvalidIndexCode);
    EXPECT_NE(std::string(error.what()).find("C:\\DATA\\B.NDX"), std::string::npos) << error.what();
  }
  sim.WriteBytes(StorageTestMachine::Path("BAD.CDX"), std::vector<std::uint8_t>(700, 0xFF));
  try {
    table->OpenIndexes("bad.cdx", "");
    ADD_FAILURE() << "a damaged file opened";
  } catch (const EXbaseError& error) {
    EXPECT_EQ(error.code(), kInvalidIndexCode);
  }
  EXPECT_EQ(table->IndexSlot(1), nullptr);
}

TEST_F(OrderAndSeek, ThePeersCompoundFileOrdersAndSeeksAsThePeerDoes) {
  sim.CopyFixture("hb_cdx_5k.dbf");
  sim.CopyFixture("hb_cdx_5k.fpt");
  sim.CopyFixture("hb_cdx_5k.cdx");
  std::ifstream in(std::string(KORVANE_FIXTURES_DIR) + "/hb_cdx_5k.cdx.expected.json");
  const auto expected = nlohmann::json::parse(in);
  DBFObject table(sim.machine(), StorageTestMachine::Path("hb_cdx_5k.dbf"), true, false, "");
  table.OpenIndexes("\"hb_cdx_5k.cdx\"", "");
  EXPECT_EQ(table.currentTag(), nullptr);
  table.OpenIndexes("hb_cdx_5k.cdx", "NUM");
  for (const auto& tag : expected["tags"]) {
    table.SelectOrder(tag["name"].get<std::string>(), false);
    EXPECT_EQ(Visit(table), tag["order"].get<std::vector<std::int32_t>>()) << tag["name"];
  }
  const auto& num = expected["tags"][1];
  table.SelectOrder("NUM", false);
  const double key = num["keys"][100].get<double>();
  EXPECT_TRUE(table.Seek(std::to_string(key)));
  EXPECT_EQ(table.GetFieldNumber("NUM"), key);
}

}  // namespace
}  // namespace tables::testing

namespace tables::testing {
namespace {

// A tag built over the whole table leaves the record buffer as it was: edits not yet written on
// a record, and a record being made at the end, whatever kind of index file the tag is in.
class BuildKeepsTheBuffer : public HandlerTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(BuildKeepsTheBuffer, EditsAndTheRecordBeingMadeSurviveATagBuild) {
  MakeHandlerTable(sim.machine(), {{"B", 1, false, ""}, {"A", 2, false, ""}, {"C", 3, false, ""}});
  auto table = Open();
  const std::string kind = GetParam();
  table->GoRecord(2);
  table->SetFieldText("NAME", "EDITED");
  table->CreateIndexTag("T." + kind, "NAME", "NAME", "", true, 0);
  EXPECT_EQ(table->GetFieldText("NAME"), "EDITED      ");
  table->PutRecord(2);

  table->GoRecord(xb_move::Last);
  table->Skip(1);
  ASSERT_TRUE(table->eof());
  table->BlankRecord();
  table->SetFieldText("NAME", "NEW");
  table->CreateIndexTag("U." + kind, "NUM", "NUM", "", true, 0);
  table->AppendRecord();
  table->SelectOrder(kind == "CDX" ? "NAME" : "T", false);
  EXPECT_TRUE(table->Seek("NEW"));
  EXPECT_EQ(table->position(), 4);
  EXPECT_TRUE(table->Seek("EDITED"));
  EXPECT_EQ(table->position(), 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BuildKeepsTheBuffer, ::testing::Values("CDX", "NTX"));

}  // namespace
}  // namespace tables::testing
