// What expressions see of the handler beyond the record: its BOF and EOF flags and the
// dataset's formula hook.
#include <gtest/gtest.h>

#include "tables/storage/xbase_error.hpp"
#include "tests/tables/handler/handler_test_table.hpp"

namespace tables::testing {
namespace {

using LinkHost = HandlerTest;

TEST_F(LinkHost, BofAndEofAreTheHandlers) {
  MakeHandlerTable(sim.machine(), NumberedRows(2));
  auto table = Open();
  TxbExpHandler eof(sim.machine(), &XbTableLink(*table), false, "EOF()");
  TxbExpHandler bof(sim.machine(), &XbTableLink(*table), false, "BOF()");
  table->GoRecord(1);
  EXPECT_FALSE(eof.Evaluate().boolean());
  table->Skip(-1);
  EXPECT_TRUE(bof.Evaluate().boolean());
  table->GoRecord(3);
  EXPECT_TRUE(eof.Evaluate().boolean());
}

TEST_F(LinkHost, TheFormulaHookAnswersUnknownFunctionsOfAFilter) {
  MakeHandlerTable(sim.machine(), NumberedRows(5));
  auto table = Open();
  std::vector<std::string> asked;
  table->SetFormulaHook(
      [&](std::string_view who, std::string_view name, char* rsl, char& type, bool&, bool& taken) {
        asked.push_back(std::string(who) + " " + std::string(name));
        taken = name == "ISEVEN";
        type = 'L';
        if (who == "PARSE") rsl[0] = table->currentRecord() % 2 == 0 ? 'T' : 'F';
      });
  table->BuildFilter("ISEVEN()", false, false);
  table->EnableFilter(true);
  EXPECT_EQ(Visit(*table), (std::vector<std::int32_t>{2, 4}));
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.front(), "FIND ISEVEN");
  EXPECT_THROW(table->BuildFilter("NOSUCHFN()", false, false), EXbaseError);
}

}  // namespace
}  // namespace tables::testing
