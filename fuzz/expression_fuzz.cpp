// Expressions from untrusted text: parsed against a small table with a field of every type and
// evaluated on each of its records, as a value and as a key. The first byte picks the options
// (text pattern wildcards, case and partial comparison); the rest is the expression.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/support/fuzz_machine.hpp"
#include "fuzz/support/try_read.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"

namespace {

// Three records: one with every field set, a blank one and a deleted one.
void FillTable(const std::string& path) {
  tables::XBO_dBaseFld table(path, false, true, {});
  table.BlankRecord();
  table.SetFieldText("NAME", "www.Example.com");
  table.SetFieldNumber("AMOUNT", -512.25);
  table.SetFieldNumber("RATE", 0.125);
  table.SetFieldDate("HIRED", 2444240);
  table.SetFieldLogical("ACTIVE", true);
  table.SetMemoText("NOTE", "a memo text");
  table.SetMemoText("PIC", std::string("\x01\x02\0\x03", 4));
  table.SetFieldNumber("HITS", 7);
  table.SetFieldNumber(table.FieldNumberOf("PRICE"), 19.99);  // by name only B F G I M N
  table.SetFieldNumber("WEIGHT", 1e300);
  table.SetFieldText("LONGTEXT", std::string(299, 'x') + "y");
  table.AppendRecord();
  table.BlankRecord();
  table.AppendRecord();
  table.BlankRecord();
  table.SetFieldText("NAME", "gone");
  table.SetRecordDeleted(true);
  table.AppendRecord();
}

class ExpressionTable {
 public:
  ExpressionTable() : table_(Create(), false, false, {}), link_(tables::XbTableLink(table_)) {}

  tables::XBO_dBaseFld& table() { return table_; }
  tables::TxbExpUserLink& link() { return link_; }

 private:
  static std::string Create() {
    const std::string path = fuzz::FuzzMachine::Get().Path("EXPR.DBF");
    tables::CreateTable(path, 0x30,
                        {{"NAME", 'C', 20, 0},
                         {"AMOUNT", 'N', 10, 2},
                         {"RATE", 'F', 8, 3},
                         {"HIRED", 'D', 8, 0},
                         {"ACTIVE", 'L', 1, 0},
                         {"NOTE", 'M', 4, 0},
                         {"PIC", 'G', 4, 0},
                         {"HITS", 'I', 4, 0},
                         {"PRICE", 'Y', 8, 0},
                         {"STAMP", 'T', 8, 0},
                         {"WEIGHT", 'B', 8, 0},
                         {"LONGTEXT", 'C', 300, 0}});
    FillTable(path);
    return path;
  }

  tables::TxbExpEngineScope expressions_;
  tables::XBO_dBaseFld table_;
  tables::TxbExpUserLink& link_;
};

ExpressionTable& Table() {
  static ExpressionTable table;
  return table;
}

void Evaluate(tables::TxbExpHandler& handler) {
  handler.ExpressionText();
  for (std::int32_t record = 1; record <= Table().table().recordCount(); ++record) {
    Table().table().ReadRecord(record);
    fuzz::TryRead([&] { handler.Evaluate(); });
    fuzz::TryRead([&] {
      tables::TxbVariant key;
      handler.EvaluateKey(key);
    });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  ExpressionTable& table = Table();
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  fuzz::TryRead([&] {
    tables::TxbExpHandler handler(&table.link(), (data[0] & 1) != 0, text);
    handler.SetCaseInsensitive((data[0] & 2) != 0);
    handler.SetPartialCompare((data[0] & 4) != 0);
    Evaluate(handler);
  });
  return 0;
}
