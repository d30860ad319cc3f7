// table_walk TABLE EXPRESSION [FIELD VALUE]
//
// Opens an xBase table (with its memo file, if it has one) on this computer, evaluates the
// expression on every record and prints "record: value"; with FIELD and VALUE it then stores
// VALUE in FIELD of record 1 (the table handler takes the record lock) and prints the record's
// value again.
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/native/native_machine.hpp"
#include "tables/handler/db_handler.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/engine.hpp"

namespace {

std::string Evaluate(tables::TxbExpHandler& expression) {
  tables::TxbExpValue value = expression.Evaluate();
  return value.MakeText();
}

void PrintEveryRecord(tables::XBO_dBHandler& table, tables::TxbExpHandler& expression) {
  for (table.GoRecord(tables::xb_move::First); !table.eof(); table.Skip(1)) {
    std::cout << table.position() << (table.RecordDeleted() ? "*" : "") << ": "
              << Evaluate(expression) << '\n';
  }
}

void ChangeFirstRecord(tables::XBO_dBHandler& table, const std::string& field,
                       const std::string& value) {
  table.GoRecord(1);
  table.SetFieldText(field, value);
  table.PutRecord(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::cerr << "usage: table_walk TABLE EXPRESSION [FIELD VALUE]\n";
    return 2;
  }
  try {
    platform::NativeMachine machine;
    tables::XbEngineScope engine(machine);
    tables::TxbExpEngineScope expressions;
    tables::XBO_dBHandler table(machine, argv[1], /*shared*/ true, /*writable*/ argc == 5, "");
    tables::TxbExpHandler expression(&tables::XbTableLink(table), false, argv[2]);
    PrintEveryRecord(table, expression);
    if (argc == 5) {
      ChangeFirstRecord(table, argv[3], argv[4]);
      table.GoRecord(1);
      std::cout << "changed 1: " << Evaluate(expression) << '\n';
    }
    table.Close();
  } catch (const std::exception& error) {
    std::cerr << "table_walk: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
