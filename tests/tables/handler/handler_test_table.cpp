#include <gtest/gtest.h>

#include "tests/tables/handler/handler_test_table.hpp"

#include "tables/storage/create_table.hpp"

namespace tables::testing {

void MakeHandlerTable(platform::Machine& machine, const std::vector<HandlerRow>& rows,
                      bool withMemo, const std::string& key) {
  std::vector<XbFieldDef> fields{{"NAME", 'C', 12}, {"NUM", 'N', 10, 2}};
  if (withMemo) fields.push_back({"NOTE", 'M', 10});
  CreateTable(machine, StorageTestMachine::Path("T.DBF"), withMemo ? 0xF5 : 0x03, fields, key);
  XBO_dBaseFld table(machine, StorageTestMachine::Path("T.DBF"), false, true, key);
  for (const HandlerRow& row : rows) {
    table.BlankRecord();
    table.SetFieldText("NAME", row.name);
    table.SetFieldNumber("NUM", row.num);
    if (!row.note.empty()) table.SetMemoText("NOTE", row.note);
    table.AppendRecord();
    if (row.deleted) {
      table.SetRecordDeleted(true);
      table.WriteRecord(table.currentRecord());
    }
  }
  table.Close();
}

std::vector<HandlerRow> NumberedRows(int count) {
  std::vector<HandlerRow> rows;
  for (int n = 1; n <= count; ++n)
    rows.push_back({"R" + std::to_string(n), double(n), false, ""});
  return rows;
}

std::unique_ptr<DBFObject> HandlerTest::Open(bool shared, const std::string& key) {
  return std::make_unique<DBFObject>(sim.machine(), StorageTestMachine::Path("T.DBF"), shared, true,
                                     key);
}

std::vector<std::int32_t> HandlerTest::Visit(XBO_dBHandler& table) {
  std::vector<std::int32_t> records;
  for (table.GoRecord(xb_move::First); !table.eof(); table.Skip(1)) {
    records.push_back(table.position());
  }
  return records;
}

}  // namespace tables::testing
