#include <gtest/gtest.h>

#include "tests/tables/dataset/dataset_test_table.hpp"

namespace tables::testing {
namespace {

class IndexTest : public DataSetTest {
 protected:
  // PEOPLE.DBF with the tag NAME (upper(NAME)) in PEOPLE.CDX.
  std::unique_ptr<TXbaseDataSet> OpenIndexedPeople() {
    MakePeople();
    auto people = OpenPeople();
    people->CreateIndexTag("PEOPLE.CDX", "NAME", "upper(NAME)", "", true, 0);
    people->CreateIndexTag("PEOPLE.CDX", "AGE", "AGE", "", true, 1);
    people->OpenIndexes("PEOPLE.CDX", "NAME");
    return people;
  }
};

TEST_F(IndexTest, SeekKeyNeedsATagAndFindsOrMovesToTheLastRecord) {
  MakePeople();
  auto people = OpenPeople();
  EXPECT_EQ(MessageOf([&] { people->SeekKey("BOB", true, false); }),
            "People: No index is assigned for Find operation");
  people->CreateIndexTag("PEOPLE.CDX", "NAME", "upper(NAME)", "", true, 0);
  people->OpenIndexes("PEOPLE.CDX", "NAME");
  EXPECT_FALSE(people->IsSequenced());
  EXPECT_TRUE(people->SeekKey("DAN", true, false));
  EXPECT_EQ(people->RecNo(), 4);
  EXPECT_FALSE(people->SeekKey("dan", true, false));
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "EVE");
  EXPECT_TRUE(people->SeekKey("B", false, false));
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "BOB");
  EXPECT_FALSE(people->SeekKey("B", true, false));
}

TEST_F(IndexTest, SeekKeyPostsAPendingEdit) {
  auto people = OpenIndexedPeople();
  ASSERT_TRUE(people->SeekKey("ANN", true, false));
  people->Edit();
  people->FieldByName("AGE").SetAsInteger(31);
  EXPECT_TRUE(people->SeekKey("CY", true, false));
  EXPECT_EQ(people->State(), db::DataSetState::Browse);
  EXPECT_TRUE(people->SeekKey("ANN", true, false));
  EXPECT_EQ(people->FieldByName("AGE").AsInteger(), 31);
}

TEST_F(IndexTest, TagOrderIndexDefsAndIndexFields) {
  auto people = OpenIndexedPeople();
  people->SetIndexName("AGE");
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"EVE", "DAN", "CY", "BOB", "ANN"}));
  const std::vector<db::TIndexDef>& defs = people->IndexDefs();
  // A compound file keeps its tags in name order.
  ASSERT_EQ(defs.size(), 2u);
  EXPECT_EQ(defs[0].name, "AGE");
  EXPECT_EQ(defs[0].fields, "AGE");
  EXPECT_FALSE(defs[0].expression);
  EXPECT_EQ(defs[1].name, "NAME");
  EXPECT_EQ(defs[1].fields, "upper(NAME)");
  EXPECT_TRUE(defs[1].expression);
  EXPECT_TRUE(people->FieldByName("AGE").IsIndexField());
  EXPECT_FALSE(people->FieldByName("NAME").IsIndexField());
  EXPECT_EQ(MessageOf([&] { people->SetIndexName("NOPE"); }), "Cannot find index tag NOPE");
}

TEST_F(IndexTest, AppendedRecordsJoinTheTag) {
  auto people = OpenIndexedPeople();
  people->Append();
  people->FieldByName("NAME").SetAsString("abe");
  people->Post();
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"abe", "ANN", "BOB", "CY", "DAN", "EVE"}));
  EXPECT_TRUE(people->SeekKey("ABE", true, false));
}

TEST_F(IndexTest, QuotedIndexPathWithBlanksOpens) {
  sim.machine().files().MakeFolder("C:\\MY DATA");
  MakeDataSetTable(sim.machine(), "C:\\MY DATA\\LIST.DAT", 0x03, {{"SITE", 'C', 20}},
                   {{{"b.com"}}, {{"a.com"}}});
  TXbaseDataSet list(sim.machine(), "List");
  list.SetTableName("C:\\MY DATA\\LIST.DAT");
  list.Open();
  list.CreateIndexTag("C:\\MY DATA\\LIST.CDX", "SITE", "Upper(SITE)", "", true, 0);
  list.Close();
  list.Open();
  list.OpenIndexes("\"C:\\MY DATA\\LIST.CDX\"", "SITE");
  EXPECT_EQ(list.IndexFiles(), (std::vector<std::string>{"C:\\MY DATA\\LIST.CDX"}));
  // The current record stays current when it is in the tag.
  EXPECT_EQ(list.FieldByName("SITE").AsString(), "b.com");
  list.First();
  EXPECT_EQ(list.FieldByName("SITE").AsString(), "a.com");
  EXPECT_TRUE(list.SeekKey("B.COM", true, false));
}

TEST_F(IndexTest, IndexFilesThatAreMissingRepeatedOrInvalidAreRefused) {
  MakePeople();
  auto people = OpenPeople();
  EXPECT_EQ(MessageOf([&] { people->OpenIndexes("NONE.CDX", ""); }),
            "People: Cannot find file C:\\DATA\\NONE.CDX");
  people->CreateIndexTag("PEOPLE.CDX", "NAME", "upper(NAME)", "", true, 0);
  EXPECT_EQ(MessageOf([&] { people->OpenIndexes("people.cdx,C:\\DATA\\PEOPLE.CDX", ""); }),
            "People: Index file C:\\DATA\\PEOPLE.CDX already open");
  sim.WriteBytes("C:\\DATA\\BAD.CDX", std::vector<std::uint8_t>(100, 7));
  EXPECT_EQ(MessageOf([&] { people->OpenIndexes("PEOPLE.CDX BAD.CDX", "NAME"); }),
            "People: Error getting C:\\DATA\\BAD.CDX");
  people->OpenIndexes("PEOPLE.CDX", "NAME");
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "ANN");
}

TEST_F(IndexTest, TagBuildsAndRecordReadsReportTheirProgressToOnStatus) {
  MakePeople();
  auto people = OpenPeople();
  std::vector<std::vector<int>> reports;
  std::string duringBuild;
  people->OnStatus = [&](int stat1, int stat2, int stat3) {
    reports.push_back({stat1, stat2, stat3});
    if (duringBuild.empty() && stat1 == 1) duringBuild = MessageOf([&] { people->First(); });
  };
  people->CreateIndexTag("", "NAME", "NAME", "", true, 0);
  EXPECT_EQ(duringBuild, "People: Table is busy building an index");
  const auto started = [&](int phase, int count) {
    const std::vector<int> start{phase, static_cast<int>(XbBuildStatus::Event::Start), count};
    return std::find(reports.begin(), reports.end(), start) != reports.end();
  };
  EXPECT_TRUE(started(1, 5));
  EXPECT_TRUE(started(2, 5));
  reports.clear();
  people->SetRecNo(2);
  EXPECT_NE(std::find(reports.begin(), reports.end(), std::vector<int>{xb_status::AfterRead, 2, 0}),
            reports.end());
}

TEST_F(IndexTest, FailedTagBuildLeavesTheDatasetUsable) {
  MakePeople();
  auto people = OpenPeople();
  people->SetRecNo(3);
  EXPECT_NE(MessageOf([&] { people->CreateIndexTag("PEOPLE.CDX", "X", "NOFIELD", "", true, 0); }),
            "no error");
  EXPECT_FALSE(people->ControlsDisabled());
  EXPECT_EQ(people->RecordCount(), 5);
  EXPECT_EQ(people->RecNo(), 3);
}

TEST_F(IndexTest, DetailFollowsTheMastersCurrentRecordThroughTheTag) {
  auto people = OpenIndexedPeople();
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("PETS.DBF"), 0x03,
                   {{"OWNER", 'C', 10}, {"PET", 'C', 10}},
                   {{{"BOB", "CAT"}}, {{"ANN", "DOG"}}, {{"BOB", "FISH"}}});
  TXbaseDataSet pets(sim.machine(), "Pets");
  pets.SetTableName(StorageTestMachine::Path("PETS.DBF"));
  pets.Open();
  pets.CreateIndexTag("PETS.CDX", "OWNER", "OWNER", "", true, 0);
  pets.OpenIndexes("PETS.CDX", "OWNER");
  db::TDataSource owners;
  owners.SetDataSet(people.get());
  pets.SetMasterFields("NAME");
  pets.SetMasterSource(&owners);
  auto petsOf = [&](std::string_view owner) {
    people->SeekKey(owner, true, false);
    std::vector<std::string> found;
    for (pets.First(); !pets.Eof(); pets.Next())
      found.push_back(pets.FieldByName("PET").AsString());
    return found;
  };
  EXPECT_EQ(petsOf("BOB"), (std::vector<std::string>{"CAT", "FISH"}));
  EXPECT_EQ(petsOf("ANN"), (std::vector<std::string>{"DOG"}));
  EXPECT_EQ(petsOf("EVE"), (std::vector<std::string>{}));
  // While the master inserts, the detail shows every record.
  people->Append();
  std::vector<std::string> all;
  for (pets.First(); !pets.Eof(); pets.Next())
    all.push_back(pets.FieldByName("PET").AsString());
  EXPECT_EQ(all, (std::vector<std::string>{"DOG", "CAT", "FISH"}));
  people->Cancel();

  EXPECT_EQ(MessageOf([&] { pets.SetMasterFields("NAME;AGE"); }),
            "Pets: Master/Detail relation failed, field missmatch for C:\\DATA\\PETS.DBF");
  EXPECT_EQ(MessageOf([&] { pets.SetIndexName(""); }),
            "Pets: Master/Detail relation failed, no index open for C:\\DATA\\PETS.DBF");
}

}  // namespace
}  // namespace tables::testing

namespace tables::testing {
namespace {

// The dataset over the other index kinds: the file created by its extension, opened through
// the index list, its key expression in IndexDefs, and its order kept through appends, edits
// and deletions.
struct OtherIndexKind {
  const char* file;
  const char* tag;
};

class OtherIndexKinds : public DataSetTest, public ::testing::WithParamInterface<OtherIndexKind> {};

TEST_P(OtherIndexKinds, AreCreatedOpenedAndKeptInOrder) {
  MakePeople();
  const OtherIndexKind kind = GetParam();
  {
    auto people = OpenPeople();
    people->CreateIndexTag(kind.file, kind.tag, "upper(NAME)", "", true, 0);
  }
  auto people = OpenPeople();
  people->OpenIndexes(kind.file, kind.tag);
  ASSERT_EQ(people->IndexDefs().size(), 1u);
  EXPECT_EQ(people->IndexDefs()[0].fields, "upper(NAME)");
  people->Append();
  people->FieldByName("NAME").SetAsString("abe");
  people->Post();
  ASSERT_TRUE(people->SeekKey("CY", true, false));
  people->Edit();
  people->FieldByName("NAME").SetAsString("ZED");
  people->Post();
  ASSERT_TRUE(people->SeekKey("BOB", true, false));
  people->Delete();
  const std::vector<std::string> order{"abe", "ANN", "DAN", "EVE", "ZED"};
  EXPECT_EQ(Names(*people), order);
  people->Close();

  auto again = OpenPeople();
  again->OpenIndexes(kind.file, kind.tag);
  EXPECT_EQ(Names(*again), order);
  EXPECT_TRUE(again->SeekKey("ZED", true, false));
  EXPECT_FALSE(again->SeekKey("CY", true, false));
}

INSTANTIATE_TEST_SUITE_P(Kinds, OtherIndexKinds,
                         ::testing::Values(OtherIndexKind{"PEOPLE.NDX", "PEOPLE"},
                                           OtherIndexKind{"PEOPLE.NTX", "PEOPLE"},
                                           OtherIndexKind{"PEOPLE.MDX", "NAME"}));

}  // namespace
}  // namespace tables::testing
