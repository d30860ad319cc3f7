// The table link over real table files: a table made on a simulated machine, its fields read
// through expressions record by record, and the link living exactly as long as its table.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "exp_eval_support.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/dbf_fields.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {
namespace {

// A Windows 98 machine in a temporary folder, the engine and the built-ins running.
class ExpDbfLink : public ::testing::Test {
 protected:
  ExpDbfLink() {
    CreateSites();
    table_ = std::make_unique<XBO_dBaseFld>("C:\\DATA\\SITES.DAT", false, true, "");
  }

  // Three records: a full one, one with blanks and a deleted one.
  void CreateSites() {
    CreateTable("C:\\DATA\\SITES.DAT", 0x30,
                {{"SITE", 'C', 60, 0},
                 {"USER", 'C', 1, 0},
                 {"NUM", 'N', 10, 2},
                 {"D", 'D', 8, 0},
                 {"L", 'L', 1, 0},
                 {"MEMO", 'M', 4, 0},
                 {"HITS", 'I', 4, 0},
                 {"LONGTEXT", 'C', 300, 0}});
    XBO_dBaseFld table("C:\\DATA\\SITES.DAT", false, true, "");
    table.BlankRecord();
    table.SetFieldText("SITE", "www.Example.com");
    table.SetFieldText("USER", "A");
    table.SetFieldNumber("NUM", 512.5);
    table.SetFieldDate("D", 2444240);
    table.SetFieldLogical("L", true);
    table.SetMemoText("MEMO", "Memo 1: www.Example.com");
    table.SetFieldNumber("HITS", 7);
    table.SetFieldText("LONGTEXT", std::string(299, 'x') + "y");
    table.AppendRecord();
    table.BlankRecord();
    table.SetFieldText("SITE", "shop.kv.io");
    table.AppendRecord();
    table.BlankRecord();
    table.SetFieldText("SITE", "gone.example");
    table.SetFieldNumber("NUM", -3);
    table.SetRecordDeleted(true);
    table.AppendRecord();
    table.ReadRecord(3);
    table.SetRecordDeleted(true);
    table.WriteRecord(3);
  }

  Outcome Eval(const char* expression) { return EvaluateText(expression, &XbTableLink(*table_)); }

  StorageTestMachine machine_;
  TxbExpEngineScope expressions_;
  std::unique_ptr<XBO_dBaseFld> table_;
};

TEST_F(ExpDbfLink, ReadsEachFieldTypeOfTheCurrentRecord) {
  table_->ReadRecord(1);
  const ValueRow rows[] = {
      {"UPPER(SITE)", xb_type::Text, "WWW.EXAMPLE.COM" + std::string(45, ' ')},
      {"USER", xb_type::Text, "A"},
      {"NUM", xb_type::Number, "512.5"},
      {"D", xb_type::Date, "2444240"},
      {"L", xb_type::Boolean, ".T."},
      {"MEMO", xb_type::Text, "Memo 1: www.Example.com"},
      {"HITS", xb_type::Other, std::string()},
      {"RIGHT(TRIM(LONGTEXT), 2)", xb_type::Text, "xy"},
      {"LEN(LONGTEXT)", xb_type::Number, "300"},
      {"RECNO()", xb_type::Number, "1"},
      {"DELETED()", xb_type::Boolean, ".F."},
      {"NUM > 500 .AND. DELETED() = .F.", xb_type::Boolean, ".T."},
      {"TYPE('longtext')", xb_type::Text, "C"},
      {"TYPE('HITS')", xb_type::Text, "I"},
      {"DTOS(D) + STR(NUM, 7, 1)", xb_type::Text, "19800101  512.5"},
  };
  for (const auto& row : rows) {
    Outcome outcome = Eval(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

TEST_F(ExpDbfLink, BlankAndDeletedRecords) {
  table_->ReadRecord(2);
  EXPECT_EQ(Eval("D").value, "0");
  EXPECT_EQ(Eval("EMPTY(D)").value, ".T.");
  EXPECT_EQ(Eval("D = CTOD('')").value, ".T.");
  EXPECT_EQ(Eval("NUM").value, "0");
  EXPECT_EQ(Eval("L").value, ".F.");
  EXPECT_EQ(Eval("MEMO").value, "");
  table_->ReadRecord(3);
  EXPECT_EQ(Eval("DELETED()").value, ".T.");
  EXPECT_EQ(Eval("RECNO()").value, "3");
  EXPECT_EQ(Eval("NUM > 500 .AND. DELETED() = .F.").value, ".F.");
}

TEST_F(ExpDbfLink, KeyOfTheSiteTagRecordByRecord) {
  TxbExpHandler key(&XbTableLink(*table_), false, "Upper(SITE)");
  EXPECT_EQ(key.NamesOfKind(kKindTableField), "SITE;");
  EXPECT_EQ(key.WidestOperand(), 60);
  const char* expected[] = {"WWW.EXAMPLE.COM", "SHOP.KV.IO", "GONE.EXAMPLE"};
  for (int n = 1; n <= 3; ++n) {
    table_->ReadRecord(n);
    TxbVariant holder;
    key.EvaluateKey(holder);
    EXPECT_EQ(key.ResultType(), xb_type::Text);
    std::string text(holder.bytes());
    EXPECT_EQ(text.substr(0, text.find_last_not_of(' ') + 1), expected[n - 1]);
    EXPECT_EQ(holder.length(), 60u);
  }
}

TEST_F(ExpDbfLink, TheLinkIsMadeOnceAndGoesWithItsTable) {
  TxbDBFExpUserLink& link = XbTableLink(*table_);
  EXPECT_EQ(&XbTableLink(*table_), &link);
  EXPECT_EQ(link.FieldVars().Count(), 8u);
  EXPECT_EQ(link.FieldVars().At(7).Width(), 300);
  table_.reset();  // frees the link with the table (the leak checker watches)
  table_ = std::make_unique<XBO_dBaseFld>("C:\\DATA\\SITES.DAT", true, false, "");
  EXPECT_EQ(table_->AttachedLink(), nullptr);
}

}  // namespace
}  // namespace tables::testing
