#pragma once
// Tables made for the handler tests on a fresh simulated machine: NAME C(12), NUM N(10,2) and,
// with memos, NOTE M.
#include <memory>
#include <string>
#include <vector>

#include "tables/handler/dbf_object.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {

struct HandlerRow {
  std::string name;
  double num = 0;
  bool deleted = false;
  std::string note;
};

// Creates C:\DATA\T.DBF (version 0x03, or 0xF5 with a memo field) holding rows.
void MakeHandlerTable(platform::Machine& machine, const std::vector<HandlerRow>& rows,
                      bool withMemo = false, const std::string& key = "");

// Rows NAME "R1".."Rn", NUM 1..n.
std::vector<HandlerRow> NumberedRows(int count);

class HandlerTest : public ::testing::Test {
 protected:
  std::unique_ptr<DBFObject> Open(bool shared = false, const std::string& key = "");
  // The record numbers visited from GoRecord(First) with Skip(1) up to EOF.
  static std::vector<std::int32_t> Visit(XBO_dBHandler& table);

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

}  // namespace tables::testing
