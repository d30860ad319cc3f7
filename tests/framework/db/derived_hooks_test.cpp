// Hooks a table-backed dataset overrides: text translation between the stored and the shown
// code page, and the index definitions with the fields of the current index.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/db/memory_data_set.hpp"

namespace {

using db::FieldType;

// Stores 0xE9 (e acute as shown) as 0x82, the way an OEM code page holds it.
class CodePageUsers : public db::MemoryDataSet {
 public:
  CodePageUsers()
      : MemoryDataSet({{"UserName", FieldType::String, 10}, {"Visits", FieldType::Integer}}) {}
  std::string StoredName() {
    return std::get<std::string>(*GetFieldData(FieldByName("UserName"), ActiveBuffer()));
  }

 protected:
  std::string Translate(std::string_view text, bool toStored) const override {
    std::string result(text);
    const char from = toStored ? '\xe9' : '\x82';
    const char to = toStored ? '\x82' : '\xe9';
    std::replace(result.begin(), result.end(), from, to);
    return result;
  }
  void UpdateIndexDefs() override {
    IndexDefsToFill().push_back({"UserName", "UserName", false});
    IndexDefsToFill().push_back({"Shouted", "upper(UserName)", true});
  }
  bool GetIsIndexField(const db::TField& field) const override {
    return field.FieldName() == "UserName";
  }
};

TEST(DerivedHooks, StringFieldsAreTranslatedOnEveryReadAndWrite) {
  CodePageUsers users;
  users.Open();
  users.Append();
  users.FieldByName("UserName").SetAsString("Ren\xe9");
  users.FieldByName("Visits").SetAsString("12");
  users.Post();
  EXPECT_EQ(users.StoredName(), "Ren\x82");
  EXPECT_EQ(users.FieldByName("UserName").AsString(), "Ren\xe9");
  EXPECT_EQ(users.FieldByName("Visits").AsInteger(), 12);
  users.Last();
  EXPECT_TRUE(users.Locate("UserName", {db::FieldValue(std::string("ren\xe9"))},
                           db::LocateOptions{.caseInsensitive = true}));
}

TEST(DerivedHooks, IndexDefinitionsComeFromTheOpenDataset) {
  CodePageUsers users;
  EXPECT_TRUE(users.IndexDefs().empty());
  users.Open();
  const auto& indexes = users.IndexDefs();
  ASSERT_EQ(indexes.size(), 2u);
  EXPECT_EQ(indexes[1].name, "Shouted");
  EXPECT_TRUE(indexes[1].expression);
  EXPECT_EQ(users.IndexDefs().size(), 2u);  // asking again does not add them twice
  EXPECT_TRUE(users.FieldByName("UserName").IsIndexField());
  EXPECT_FALSE(users.FieldByName("Visits").IsIndexField());
  users.Close();
  EXPECT_TRUE(users.IndexDefs().empty());
}

// A dataset whose first read fails after its cursor opened, as a damaged table would.
class DamagedUsers : public db::MemoryDataSet {
 public:
  DamagedUsers() : MemoryDataSet({{"UserName", FieldType::String, 10}}) {}
  bool damaged = true;
  int closes = 0;

 protected:
  db::GetResult GetRecord(db::RecordBuffer& buffer, db::GetMode mode, bool doCheck) override {
    if (damaged) Fail("Record request beyond range of table");
    return MemoryDataSet::GetRecord(buffer, mode, doCheck);
  }
  void InternalClose() override {
    ++closes;
    MemoryDataSet::InternalClose();
  }
};

TEST(DerivedHooks, OpenThatFailsClosesTheCursorAndCanBeTriedAgain) {
  DamagedUsers users;
  bool opened = false;
  users.AfterOpen = [&](db::TDataSet&) { opened = true; };
  EXPECT_THROW(users.Open(), db::EDatabaseError);
  EXPECT_FALSE(users.Active());
  EXPECT_FALSE(opened);
  EXPECT_EQ(users.closes, 1);
  EXPECT_EQ(users.FindField("UserName"), nullptr);
  users.damaged = false;
  users.Open();
  EXPECT_TRUE(opened);
  EXPECT_TRUE(users.IsEmpty());
}

}  // namespace
