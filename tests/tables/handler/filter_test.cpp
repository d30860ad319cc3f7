// The handler's filter and its bit set: records visited, bits following record writes, the
// compiler flags, and the set's pages and bounds.
#include <vector>

#include <gtest/gtest.h>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/handler/handler_test_table.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

using Filter = HandlerTest;

std::vector<HandlerRow> NamedRows(const std::vector<std::string>& names) {
  std::vector<HandlerRow> rows;
  for (std::size_t i = 0; i < names.size(); ++i) {
    rows.push_back({names[i], static_cast<double>(i + 1), false, ""});
  }
  return rows;
}

TEST_F(Filter, VisitsOnlyAdmittedRecordsAndFollowsWrites) {
  MakeHandlerTable(sim.machine(), NamedRows({"X", "Y", "X", "Z", "X"}));
  auto table = Open();
  table->BuildFilter("NAME = 'X'", false, false);
  table->EnableFilter(true);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 3, 5}));
  table->GoRecord(3);
  table->SetFieldText("NAME", "W");
  table->PutRecord(3);
  EXPECT_FALSE(table->filterSet()->Test(3));
  EXPECT_TRUE(table->outsideOrder());
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 5}));
  table->BlankRecord();
  table->SetFieldText("NAME", "X");
  table->AppendRecord();
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 5, 6}));
  table->GoRecord(xb_move::Last);
  EXPECT_EQ(table->position(), 6);
  table->Skip(-1);
  EXPECT_EQ(table->position(), 5);
  table->EnableFilter(false);
  EXPECT_EQ(Visit(*table).size(), 6u);
}

TEST_F(Filter, FlagsReachTheCompiler) {
  MakeHandlerTable(sim.machine(), NamedRows({"alpha", "ALPHABET", "beta"}));
  auto table = Open();
  table->EnableFilter(true);
  table->BuildFilter("NAME = 'alpha'", false, false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1}));
  table->BuildFilter("NAME = 'ALPHA'", false, false);
  EXPECT_TRUE(Visit(*table).empty());
  table->BuildFilter("NAME = 'ALPHA'", true, false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1}));
  table->BuildFilter("NAME = '*ET'", false, true);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2}));
}

TEST_F(Filter, BuildingKeepsThePositionAndTheWantedFlag) {
  MakeHandlerTable(sim.machine(), NamedRows({"X", "Y", "X"}));
  auto table = Open();
  table->GoRecord(2);
  table->BuildFilter("NAME = 'X'", false, false);
  EXPECT_EQ(table->currentRecord(), 2);
  EXPECT_FALSE(table->filterActive());
  EXPECT_FALSE(table->readAhead());
}

TEST_F(Filter, BuildingOffTheTableKeepsTheRecordBeingMade) {
  MakeHandlerTable(sim.machine(), NamedRows({"X", "Y", "X"}));
  auto table = Open();
  table->GoRecord(xb_move::Last);
  table->Skip(1);
  ASSERT_TRUE(table->eof());
  table->BlankRecord();
  table->SetFieldText("NAME", "NEW");
  table->BuildFilter("NAME = 'X'", false, false);
  table->AppendRecord();
  table->GoRecord(4);
  EXPECT_EQ(table->GetFieldText("NAME"), "NEW         ");
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 2, 3, 4}));
}

TEST_F(Filter, ANonLogicalExpressionIsRefused) {
  MakeHandlerTable(sim.machine(), NamedRows({"X"}));
  auto table = Open();
  EXPECT_EQ(ErrorOf([&] { table->BuildFilter("NAME", false, false); }).first,
            "Filter expression must return boolean result");
  EXPECT_THROW(table->BuildFilter("NOSUCH = 1", false, false), EXbaseError);
  table->EnableFilter(true);
  EXPECT_FALSE(table->filterActive());
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1}));
}

TEST_F(Filter, RebuildPicksUpChangesOfOtherPrograms) {
  MakeHandlerTable(sim.machine(), NamedRows({"X", "Y"}));
  auto mine = Open(true);
  auto theirs = Open(true);
  mine->BuildFilter("NAME = 'X'", false, false);
  mine->EnableFilter(true);
  theirs->GoRecord(2);
  theirs->SetFieldText("NAME", "X");
  theirs->PutRecord(2);
  EXPECT_EQ(Visit(*mine), (std::vector<std::int32_t>{1}));
  mine->RebuildFilter();
  EXPECT_EQ(Visit(*mine), (std::vector<std::int32_t>{1, 2}));
}

// A filter comparing a number field with a literal is decided on each record's stored bytes
// where they lie; it must admit exactly what the general evaluation admits, on plain and
// enciphered tables, for texts laid out as the field writes numbers and for others.
class StoredNumberFilter : public HandlerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StoredNumberFilter, AdmitsWhatTheGeneralEvaluationAdmits) {
  const std::string key = GetParam();
  const char* const oddTexts[] = {"12.5", "", "-0.00", "1e2", "  -12.50", "012.50", ".5"};
  std::vector<HandlerRow> rows;
  for (int i = 0; i < 400; ++i)
    rows.push_back({"R", (i % 7 == 0 ? -1 : 1) * (i * 37 % 2000) / 16.0, i % 5 == 0, ""});
  MakeHandlerTable(sim.machine(), rows, false, key);
  auto table = Open(false, key);
  for (std::size_t i = 0; i < std::size(oddTexts); ++i) {
    const auto record = static_cast<std::int32_t>(10 * i + 3);
    table->GoRecord(record);
    table->SetFieldText("NUM", oddTexts[i]);
    table->PutRecord(record);
  }
  const auto admitted = [&table](const std::string& expression) {
    table->BuildFilter(expression, false, false);
    std::vector<std::int32_t> numbers;
    for (std::int32_t n = 1; n <= 400; ++n) {
      if (table->filterSet()->Test(n)) numbers.push_back(n);
    }
    return numbers;
  };
  for (const char* condition : {"> 12.5", "<= 0", "= 12.5", "# -2.3125", ">= 100.01"}) {
    const std::vector<std::int32_t> decided = admitted(std::string("NUM ") + condition);
    EXPECT_FALSE(decided.empty());
    EXPECT_EQ(decided, admitted(std::string("NUM + 0 ") + condition)) << "NUM " << condition;
  }
}

INSTANTIATE_TEST_SUITE_P(PlainAndEnciphered, StoredNumberFilter, ::testing::Values("", "SECRET"));

TEST(HugeSet, PagesComeOnDemandAndSearchesCrossThem) {
  TxbHugeSet set;
  EXPECT_EQ(set.pagesAllocated(), 0u);
  set.Reset(500000);
  EXPECT_EQ(set.pagesAllocated(), 0u);
  set.Set(3);
  set.Set(300000);
  EXPECT_EQ(set.pagesAllocated(), 2u);
  EXPECT_EQ(set.highest(), 500000);
  EXPECT_EQ(set.NextAfter(0), 3);
  EXPECT_EQ(set.NextAfter(3), 300000);
  EXPECT_EQ(set.NextAfter(300000), 0);
  EXPECT_EQ(set.PreviousBefore(set.highest() + 1), 300000);
  EXPECT_EQ(set.PreviousBefore(300000), 3);
  EXPECT_EQ(set.PreviousBefore(3), 0);
  EXPECT_EQ(set.NextAfter(63), 300000);
  set.Set(64);
  EXPECT_EQ(set.PreviousBefore(65), 64);
  EXPECT_EQ(set.PreviousBefore(64), 3);
}

TEST(HugeSet, AssigningABitLeavesItsNeighboursAlone) {
  TxbHugeSet set;
  for (std::int32_t n = 60; n <= 68; ++n)
    set.Set(n);
  set.Assign(63, false);
  set.Assign(64, false);
  set.Assign(64, false);
  set.Assign(66, true);
  std::vector<std::int32_t> members;
  for (std::int32_t n = set.NextAfter(0); n != 0; n = set.NextAfter(n))
    members.push_back(n);
  EXPECT_EQ(members, (std::vector<std::int32_t>{60, 61, 62, 65, 66, 67, 68}));
  set.Assign(63, true);
  EXPECT_TRUE(set.Test(63));
  EXPECT_FALSE(set.Test(64));
  EXPECT_TRUE(set.Test(62));
}

TEST(HugeSet, ClearingForgetsTheHighestAndTestsBeyondItAreFalse) {
  TxbHugeSet set;
  set.Set(10);
  set.Set(131072);
  EXPECT_TRUE(set.Test(131072));
  set.Clear();
  EXPECT_EQ(set.highest(), 0);
  EXPECT_FALSE(set.Test(10));
  EXPECT_EQ(set.NextAfter(0), 0);
  set.Set(5);
  EXPECT_FALSE(set.Test(131072));
  EXPECT_FALSE(set.Test(-1));
}

}  // namespace
}  // namespace tables::testing
