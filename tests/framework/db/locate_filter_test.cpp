#include <gtest/gtest.h>

#include "tests/framework/db/users_fixture.hpp"

namespace {

using db::FieldValue;
using db::LocateOptions;
using db::OptionalValue;
using db_test::ErrorText;
using Strings = std::vector<std::string>;

class LocateTest : public db_test::UsersTest {
 protected:
  static std::vector<OptionalValue> Key(const char* text) {
    return {FieldValue(std::string(text))};
  }
};

TEST_F(LocateTest, ExactKeyMatchesOnlyTheWholeTextInItsCase) {
  EXPECT_TRUE(table.Locate("UserName", Key("GUEST")));
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_FALSE(table.Locate("UserName", Key("guest")));
  EXPECT_FALSE(table.Locate("UserName", Key("GUE")));
  EXPECT_EQ(Name(), "GUEST");  // a failed search does not move
  table.Next();
  EXPECT_EQ(Name(), "KID");  // and leaves the cursor where it was
}

TEST_F(LocateTest, CaseAndPartialOptions) {
  EXPECT_TRUE(table.Locate("UserName", Key("guest"), LocateOptions{.caseInsensitive = true}));
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_TRUE(table.Locate("UserName", Key("KI"), LocateOptions{.partialKey = true}));
  EXPECT_EQ(Name(), "KID");
  EXPECT_FALSE(table.Locate("UserName", Key("pa"), LocateOptions{.partialKey = true}));
  EXPECT_TRUE(table.Locate("UserName", Key("pa"), LocateOptions{true, true}));
  EXPECT_EQ(Name(), "PARENT");
}

TEST_F(LocateTest, SeveralKeyFieldsTypedValuesAndNulls) {
  table.Last();
  table.Edit();
  table.FieldByName("Logit").SetAsBoolean(true);
  table.Post();
  table.First();
  EXPECT_TRUE(table.Locate("Visits; Logit", {FieldValue(std::int64_t{3}), FieldValue(true)}));
  EXPECT_EQ(Name(), "KID");
  EXPECT_TRUE(table.Locate("Logit", {std::nullopt}));
  EXPECT_EQ(Name(), "PARENT");
  EXPECT_FALSE(table.Locate("Visits;Logit", {FieldValue(2.0), FieldValue(true)}));
  EXPECT_TRUE(table.Locate("Visits", {FieldValue(2.0)}));
  EXPECT_EQ(Name(), "GUEST");
}

TEST_F(LocateTest, WrongSearchesRaiseAndLeaveThePosition) {
  table.Next();
  EXPECT_EQ(ErrorText([&] { table.Locate("Age", Key("1")); }), "Field 'Age' not found");
  EXPECT_EQ(ErrorText([&] { table.Locate("UserName;Visits", Key("1")); }),
            "Search of 2 key fields given 1 values");
  EXPECT_THROW(table.Locate("Visits", {FieldValue(db::TDateTime{2451545, 0})}),
               platform::EConvertError);
  EXPECT_EQ(Name(), "GUEST");
  table.Insert();  // goes where the cursor stands: before GUEST
  table.FieldByName("UserName").SetAsString("AUNT");
  table.Post();
  EXPECT_EQ(Names(), (Strings{"PARENT", "AUNT", "GUEST", "KID"}));
}

TEST_F(LocateTest, LocatePostsAPendingEditFirst) {
  table.Edit();
  table.FieldByName("UserName").SetAsString("MOTHER");
  EXPECT_TRUE(table.Locate("UserName", Key("MOTHER")));
  EXPECT_EQ(table.State(), db::DataSetState::Browse);
  EXPECT_EQ(table.RecNo(), 1);
}

TEST_F(LocateTest, LookupReturnsValuesWithoutMoving) {
  table.Next();
  int scrolls = 0;
  table.AfterScroll = [&](db::TDataSet&) { ++scrolls; };
  const auto found = table.Lookup("UserName", Key("KID"), "Visits;UserName");
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(*found, (std::vector<OptionalValue>{FieldValue(std::int64_t{3}),
                                                FieldValue(std::string("KID"))}));
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_EQ(scrolls, 0);
  EXPECT_FALSE(table.Lookup("UserName", Key("NOBODY"), "Visits").has_value());
  table.Next();
  EXPECT_EQ(Name(), "KID");
}

TEST_F(LocateTest, FilterShowsOnlyAcceptedRecords) {
  table.OnFilterRecord = [](db::TDataSet& data, bool& accept) {
    EXPECT_EQ(data.State(), db::DataSetState::Filter);
    accept = data.FieldByName("Visits").AsInteger() != 2;
  };
  table.Last();
  table.SetFiltered(true);
  EXPECT_EQ(Name(), "PARENT");  // switching the filter goes to the first record
  EXPECT_EQ(Names(), (Strings{"PARENT", "KID"}));
  EXPECT_FALSE(table.Locate("UserName", Key("GUEST")));
  table.Last();
  table.Prior();
  EXPECT_EQ(Name(), "PARENT");
  table.SetFiltered(false);
  EXPECT_EQ(Names(), (Strings{"PARENT", "GUEST", "KID"}));
}

TEST_F(LocateTest, EditedRecordThatNoLongerPassesTheFilterMovesOn) {
  table.OnFilterRecord = [](db::TDataSet& data, bool& accept) {
    accept = data.FieldByName("UserName").AsString() != "HIDDEN";
  };
  table.SetFiltered(true);
  table.Edit();
  table.FieldByName("UserName").SetAsString("HIDDEN");
  table.Post();
  EXPECT_EQ(Name(), "GUEST");
  EXPECT_EQ(Names(), (Strings{"GUEST", "KID"}));
  EXPECT_EQ(table.RecordCount(), 3);
}

}  // namespace
