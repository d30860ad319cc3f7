#include <gtest/gtest.h>

#include "tests/tables/dataset/dataset_test_table.hpp"

#include "tables/storage/dbf_fields.hpp"

namespace tables::testing {

void MakeDataSetTable(platform::Machine& machine, const std::string& path, std::uint8_t version,
                      const std::vector<XbFieldDef>& fields, const std::vector<DataSetRow>& rows,
                      const std::string& key) {
  CreateTable(machine, path, version, fields, key);
  XBO_dBaseFld table(machine, path, false, true, key);
  for (const DataSetRow& row : rows) {
    table.BlankRecord();
    for (std::size_t i = 0; i < row.texts.size(); ++i) {
      const int n = static_cast<int>(i) + 1;
      if (fields[i].type == 'M') {
        table.SetMemoText(n, row.texts[i]);
      } else {
        table.SetFieldText(n, row.texts[i]);
      }
    }
    table.AppendRecord();
    if (row.deleted) {
      table.SetRecordDeleted(true);
      table.WriteRecord(table.currentRecord());
    }
  }
  table.Close();
}

std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& error) {
    return error.what();
  }
  return "no error";
}

void DataSetTest::MakePeople(const std::string& key) {
  MakeDataSetTable(sim.machine(), StorageTestMachine::Path("PEOPLE.DBF"), 0x03,
                   {{"NAME", 'C', 10}, {"AGE", 'N', 3}, {"BORN", 'D', 8}, {"OK", 'L', 1}},
                   {{{"ANN", "30", "19940102", "T"}},
                    {{"BOB", "40", "00000000", "F"}},
                    {{"CY", "50", "", "T"}},
                    {{"DAN", "60", "19840230", "F"}},
                    {{"EVE", "70", "19540607", "T"}}},
                   key);
}

std::unique_ptr<TXbaseDataSet> DataSetTest::OpenPeople(const std::string& key) {
  auto dataSet = std::make_unique<TXbaseDataSet>(sim.machine(), "People");
  dataSet->SetDatabaseName("C:\\DATA");
  dataSet->SetTableName("PEOPLE.DBF");
  dataSet->SetEncryptionKey(key);
  dataSet->Open();
  return dataSet;
}

std::vector<std::string> DataSetTest::Names(TXbaseDataSet& dataSet) {
  std::vector<std::string> names;
  for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
    names.push_back(dataSet.FieldByName("NAME").AsString());
  return names;
}

}  // namespace tables::testing
