#include <gtest/gtest.h>

#include <fstream>

#include "tables/storage/aliases.hpp"
#include "tests/tables/dataset/dataset_test_table.hpp"

namespace tables::testing {
namespace {

using OpenTest = DataSetTest;

TEST_F(OpenTest, NameWithoutExtensionGetsDbfAndOneWithExtensionIsKept) {
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("USERS.DBF"), 0x03, {{"NAME", 'C', 10}},
                   {{{"A"}}});
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("KVUS.DAT"), 0x03, {{"NAME", 'C', 10}},
                   {{{"B"}}});
  TXbaseDataSet users(sim.machine(), "Users");
  users.SetDatabaseName("C:\\DATA\\");
  users.SetTableName("users");
  users.Open();
  EXPECT_EQ(users.TableName(), "users.DBF");
  EXPECT_EQ(users.FieldByName("NAME").AsString(), "A");
  users.Close();
  users.SetTableName("KVUS.dat");
  users.Open();
  EXPECT_EQ(users.TableName(), "KVUS.dat");
  EXPECT_EQ(users.FieldByName("NAME").AsString(), "B");
}

TEST_F(OpenTest, FullPathWithEmptyDatabaseNameOpensThatFileAndAddsNoAlias) {
  MakePeople();
  const std::size_t aliases = XbAliases().entries().size();
  TXbaseDataSet people(sim.machine(), "People");
  people.SetTableName("C:\\DATA\\People.Dbf");
  people.Open();
  EXPECT_EQ(people.RecordCount(), 5);
  EXPECT_EQ(XbAliases().entries().size(), aliases);
}

TEST_F(OpenTest, AliasOfXbaseCfgResolvesAndUnknownDirectoryBecomesAnAlias) {
  MakePeople();
  {
    std::ofstream cfg(sim.HostPath("C:\\WINDOWS\\xbase.cfg"));
    cfg << "[Alias]\r\ndata=c:\\data\r\n";
  }
  XbAliases().Load(sim.machine());
  TXbaseDataSet people(sim.machine(), "People");
  people.SetDatabaseName("Data");
  people.SetTableName("PEOPLE.DBF");
  EXPECT_EQ(people.TablePath(), "C:\\DATA\\PEOPLE.DBF");
  people.Open();
  EXPECT_EQ(people.RecordCount(), 5);

  people.Close();
  people.SetDatabaseName("c:\\data\\");
  EXPECT_EQ(XbAliases().Directory("c:\\data"), "c:\\data");
  people.Open();
  EXPECT_EQ(people.RecordCount(), 5);
}

TEST_F(OpenTest, MissingNameMissingFileAndKeyErrorsAreRefused) {
  MakePeople("q3#Lm9!");
  TXbaseDataSet people(sim.machine(), "People");
  EXPECT_EQ(MessageOf([&] { people.Open(); }), "People: Table name missing");
  people.SetTableName("C:\\DATA\\NONE.DAT");
  EXPECT_EQ(MessageOf([&] { people.Open(); }), "People: Cannot find file C:\\DATA\\NONE.DAT");
  people.SetTableName("C:\\DATA\\PEOPLE.DBF");
  EXPECT_EQ(MessageOf([&] { people.Open(); }),
            "No Password for encrypted file C:\\DATA\\PEOPLE.DBF");
  EXPECT_FALSE(people.Active());
  people.SetEncryptionKey("q3#Lm9!");
  people.Open();
  EXPECT_EQ(Names(people), (std::vector<std::string>{"ANN", "BOB", "CY", "DAN", "EVE"}));
  EXPECT_EQ(MessageOf([&] { people.SetEncryptionKey("other12"); }),
            "People: Cannot perform this operation on an open dataset");
}

TEST_F(OpenTest, FieldTypesFollowTheDescriptorsAndYFieldsAreLeftOut) {
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("TYPES.DBF"), 0x30,
                   {{"C", 'C', 4},
                    {"SMALL", 'N', 4},
                    {"MID", 'N', 9},
                    {"BIG", 'N', 11},
                    {"REAL", 'N', 8, 2},
                    {"I", 'I', 4},
                    {"Y", 'Y', 8},
                    {"T", 'T', 8},
                    {"L", 'L', 1},
                    {"D", 'D', 8}},
                   {});
  TXbaseDataSet types(sim.machine(), "Types");
  types.SetTableName("C:\\DATA\\TYPES.DBF");
  types.Open();
  std::vector<std::pair<std::string, db::FieldType>> seen;
  for (const db::TFieldDef& def : types.FieldDefs().Items())
    seen.emplace_back(def.name, def.type);
  EXPECT_EQ(seen,
            (std::vector<std::pair<std::string, db::FieldType>>{{"C", db::FieldType::String},
                                                                {"SMALL", db::FieldType::SmallInt},
                                                                {"MID", db::FieldType::Integer},
                                                                {"BIG", db::FieldType::LargeInt},
                                                                {"REAL", db::FieldType::Float},
                                                                {"I", db::FieldType::Integer},
                                                                {"T", db::FieldType::DateTime},
                                                                {"L", db::FieldType::Boolean},
                                                                {"D", db::FieldType::Date}}));
  EXPECT_EQ(types.FindField("Y"), nullptr);
}

TEST_F(OpenTest, ElevenDigitNumberWithoutDecimalsRoundTripsExactly) {
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("BIG.DBF"), 0x03, {{"BIG", 'N', 11}},
                   {{{"1"}}});
  TXbaseDataSet big(sim.machine(), "Big");
  big.SetTableName("C:\\DATA\\BIG.DBF");
  big.Open();
  big.Edit();
  big.FieldByName("BIG").SetAsLargeInt(9999999999);
  big.Post();
  big.Close();
  big.Open();
  EXPECT_EQ(big.FieldByName("BIG").AsLargeInt(), 9999999999);
  EXPECT_EQ(big.FieldByName("BIG").AsString(), "9999999999");
  big.Edit();
  big.FieldByName("BIG").SetAsLargeInt(-9999999999);
  big.Post();
  EXPECT_EQ(big.FieldByName("BIG").AsLargeInt(), -9999999999);
  big.Edit();
  EXPECT_NE(MessageOf([&] { big.FieldByName("BIG").SetAsLargeInt(999999999999); }), "no error");
}

TEST_F(OpenTest, DatesReadAsNullWhenEmptyZeroOrImpossibleAndANullDateStoresBlanks) {
  MakePeople();
  auto people = OpenPeople();
  std::vector<bool> nulls;
  for (people->First(); !people->Eof(); people->Next())
    nulls.push_back(people->FieldByName("BORN").IsNull());
  EXPECT_EQ(nulls, (std::vector<bool>{false, true, true, true, false}));
  people->First();
  EXPECT_EQ(people->FieldByName("BORN").AsDateTime().julianDay, db::JulianDayOf({1994, 1, 2}));
  people->Edit();
  people->FieldByName("BORN").Clear();
  std::string raw;
  people->GetFieldText("BORN", raw);
  EXPECT_EQ(raw, "        ");
  people->FieldByName("BORN").SetAsDateTime({db::JulianDayOf({2001, 12, 31}), 0});
  people->GetFieldText("BORN", raw);
  EXPECT_EQ(raw, "20011231");
}

TEST_F(OpenTest, RecordCountCountsDeletedRecordsUnlessExact) {
  MakePeople();
  auto people = OpenPeople();
  people->Next();
  people->Delete();
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "CY");
  EXPECT_EQ(people->RecordCount(), 5);
  people->SetExactCount(true);
  EXPECT_EQ(people->RecordCount(), 4);
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "CY");
  EXPECT_EQ(Names(*people), (std::vector<std::string>{"ANN", "CY", "DAN", "EVE"}));
}

TEST_F(OpenTest, BookmarksAreRightAlignedRecordNumbersAndFindTheRecordAgain) {
  MakePeople();
  auto people = OpenPeople();
  people->SetRecNo(4);
  const db::TBookmark mark = people->GetBookmark();
  ASSERT_EQ(mark.size(), 11u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(mark.data()), 10), "         4");
  EXPECT_EQ(mark[10], std::byte{0});
  people->First();
  people->GotoBookmark(mark);
  EXPECT_EQ(people->FieldByName("NAME").AsString(), "DAN");
  EXPECT_EQ(people->RecNo(), 4);
  db::TBookmark beyond = mark;
  beyond[9] = std::byte{'9'};
  EXPECT_FALSE(people->BookmarkValid(beyond));
  EXPECT_NE(MessageOf([&] { people->SetRecNo(9); }), "no error");
  EXPECT_EQ(people->RecNo(), 4);
}

TEST_F(OpenTest, TextIsConvertedBetweenOemAndAnsiUnlessTranslateIsOff) {
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("OEM.DBF"), 0x03, {{"NAME", 'C', 10}},
                   {{{"\x81"}}});  // u-umlaut in code page 437
  TXbaseDataSet oem(sim.machine(), "Oem");
  oem.SetTableName("C:\\DATA\\OEM.DBF");
  oem.Open();
  EXPECT_EQ(oem.FieldByName("NAME").AsString(), "\xFC");  // u-umlaut in code page 1252
  oem.Edit();
  oem.FieldByName("NAME").SetAsString("\xE9");  // e-acute
  std::string raw;
  oem.GetFieldText("NAME", raw);
  EXPECT_EQ(raw.substr(0, 1), "\x82");
  oem.Cancel();
  oem.SetTranslateASCII(false);
  EXPECT_EQ(oem.FieldByName("NAME").AsString(), "\x81");
}

}  // namespace
}  // namespace tables::testing
