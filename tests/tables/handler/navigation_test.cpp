// Moving through a table with the handler: natural order, deleted records, BOF and EOF, Skip
// in one step and record by record, the acceptance hook and the read-ahead block.
#include <gtest/gtest.h>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/handler/handler_test_table.hpp"
#include "tests/tables/storage/engine_error_of.hpp"

namespace tables::testing {
namespace {

using Navigation = HandlerTest;

TEST_F(Navigation, VisitsEveryRecordInNaturalOrder) {
  MakeHandlerTable(sim.machine(), NumberedRows(4));
  auto table = Open();
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(table->eof());
}

TEST_F(Navigation, SkipFiveFromEightOfTenEndsOnTenWithEof) {
  MakeHandlerTable(sim.machine(), NumberedRows(10));
  auto table = Open();
  table->GoRecord(8);
  table->Skip(5);
  EXPECT_EQ(table->position(), 10);
  EXPECT_EQ(table->GetFieldText("NAME"), "R10         ");
  EXPECT_TRUE(table->eof());
  EXPECT_FALSE(table->bof());
  table->Skip(-20);
  EXPECT_EQ(table->position(), 1);
  EXPECT_TRUE(table->bof());
}

TEST_F(Navigation, HiddenDeletedRecordsAreSkippedBothWays) {
  auto rows = NumberedRows(5);
  rows[0].deleted = rows[2].deleted = rows[4].deleted = true;
  MakeHandlerTable(sim.machine(), rows);
  auto table = Open();
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2, 4}));
  table->GoRecord(xb_move::Last);
  EXPECT_EQ(table->position(), 4);
  table->Skip(-1);
  EXPECT_EQ(table->position(), 2);
  table->Skip(-1);
  EXPECT_TRUE(table->bof());
}

TEST_F(Navigation, AllDeletedShowsBofAndEofTogether) {
  auto rows = NumberedRows(3);
  for (auto& row : rows)
    row.deleted = true;
  MakeHandlerTable(sim.machine(), rows);
  auto table = Open();
  table->SetUseDeleted(false);
  table->GoRecord(xb_move::First);
  EXPECT_TRUE(table->bof());
  EXPECT_TRUE(table->eof());
  table->GoRecord(xb_move::Last);
  EXPECT_TRUE(table->bof());
  EXPECT_TRUE(table->eof());
}

TEST_F(Navigation, EmptyTableIsBofAndEofAndMovingBackDoesNotRaise) {
  MakeHandlerTable(sim.machine(), {});
  auto table = Open();
  table->GoRecord(xb_move::First);
  EXPECT_TRUE(table->bof() && table->eof());
  EXPECT_NO_THROW(table->GoRecord(xb_move::Previous));
  EXPECT_TRUE(table->bof());
  EXPECT_NO_THROW(table->Skip(-1));
}

TEST_F(Navigation, TargetsBeyondTheEndAndUnknownCodesRaise) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open();
  table->GoRecord(3);
  EXPECT_TRUE(table->eof());
  EXPECT_EQ(table->GetFieldText("NAME"), std::string(12, ' '));
  const auto beyond = ErrorOf([&] { table->GoRecord(4); });
  EXPECT_EQ(beyond.second, xb_sub::RecordRead);
  EXPECT_NE(beyond.first.find("dBase record request beyond EOF"), std::string::npos)
      << beyond.first;
  EXPECT_EQ(ErrorOf([&] { table->GoRecord(-6); }).second, xb_sub::RecordRead);
}

TEST_F(Navigation, AcceptanceHookHidesRecords) {
  MakeHandlerTable(sim.machine(), NumberedRows(6));
  auto table = Open();
  table->SetAcceptHook([&] { return static_cast<int>(table->GetFieldNumber("NUM")) % 3 == 0; });
  table->SetUseDeleted(false);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{3, 6}));
}

TEST_F(Navigation, StatusHookHearsReadsAndWrites) {
  MakeHandlerTable(sim.machine(), NumberedRows(1));
  auto table = Open();
  std::vector<int> heard;
  table->SetStatusHook([&](int status) { heard.push_back(status); });
  table->GoRecord(1);
  table->PutRecord(1);
  EXPECT_EQ(heard, (std::vector<int>{xb_status::BeforeRead, xb_status::AfterRead,
                                     xb_status::BeforeWrite, xb_status::AfterWrite}));
  EXPECT_EQ(table->workState(), xb_work::Browsing);
}

TEST_F(Navigation, ReadAheadBlockHoldsWholeRecords) {
  EXPECT_EQ(XbReadAhead(100).capacity(), 32700u);
  EXPECT_EQ(XbReadAhead(40000).capacity(), 40000u);
  MakeHandlerTable(sim.machine(), NumberedRows(3000));
  auto table = Open();
  table->SetReadAhead(true);
  EXPECT_EQ(Visit(*table).size(), 3000u);
  table->GoRecord(2999);
  EXPECT_EQ(table->GetFieldText("NAME"), "R2999       ");
}

TEST_F(Navigation, ReadAheadServesTheHandlersOwnWrites) {
  MakeHandlerTable(sim.machine(), NumberedRows(5));
  auto table = Open();
  table->SetReadAhead(true);
  table->GoRecord(1);
  table->GoRecord(3);
  table->SetFieldText("NAME", "CHANGED");
  table->PutRecord(3);
  table->GoRecord(1);
  table->GoRecord(3);
  EXPECT_EQ(table->GetFieldText("NAME"), "CHANGED     ");
  table->SetFieldText("NAME", "NEW");
  table->AppendRecord();
  table->GoRecord(6);
  EXPECT_EQ(table->GetFieldText("NAME"), "NEW         ");
}

TEST_F(Navigation, ReadAheadNeverServesBytesAnotherProgramChanged) {
  MakeHandlerTable(sim.machine(), NumberedRows(5));
  auto reader = Open(true);
  auto writer = Open(true);
  reader->SetReadAhead(true);
  reader->GoRecord(2);
  sim.clock().Advance(10);
  writer->GoRecord(4);
  writer->SetFieldText("NAME", "OTHER");
  writer->PutRecord(4);
  reader->GoRecord(4);
  EXPECT_EQ(reader->GetFieldText("NAME"), "OTHER       ");
}

}  // namespace
}  // namespace tables::testing
