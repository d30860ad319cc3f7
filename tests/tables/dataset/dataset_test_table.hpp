#pragma once
// Tables for the dataset tests on a fresh simulated machine (C:\DATA), and the dataset opened
// on them.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tables/dataset/xbase_data_set.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/create_table.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {

// One record: the raw text of each field in field order, and whether it is deleted.
struct DataSetRow {
  std::vector<std::string> texts;
  bool deleted = false;
};

// Creates path (version, fields) holding rows; memo fields take their text as the memo.
void MakeDataSetTable(platform::Machine& machine, const std::string& path, std::uint8_t version,
                      const std::vector<XbFieldDef>& fields, const std::vector<DataSetRow>& rows,
                      const std::string& key = "");

// The message of the exception f raised, or "no error".
std::string MessageOf(const std::function<void()>& f);

class DataSetTest : public ::testing::Test {
 protected:
  // C:\DATA\PEOPLE.DBF: NAME C(10), AGE N(3,0), BORN D, OK L; rows "ANN", "BOB", "CY", "DAN",
  // "EVE" (ages 30, 40, 50, 60, 70).
  void MakePeople(const std::string& key = "");
  std::unique_ptr<TXbaseDataSet> OpenPeople(const std::string& key = "");
  // The NAME of every record visited from First to Eof.
  static std::vector<std::string> Names(TXbaseDataSet& dataSet);

  TxbExpEngineScope expressions;
  StorageTestMachine sim;
};

}  // namespace tables::testing
