// The table link: fields as variables, the table functions, the formula hook, and the link's
// life on its table; and links of an application's own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "exp_eval_support.hpp"
#include "exp_fake_table.hpp"
#include "exp_test_machine.hpp"
#include "tables/index/exp_call.hpp"
#include "tables/index/exp_generic_function.hpp"
#include "tables/index/exp_table_functions.hpp"
#include "tables/index/exp_table_link.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

std::vector<FakeField> SiteFields() {
  return {{"SITE", 'C', 20}, {"USER", 'C', 1},  {"NUM", 'N', 10}, {"D", 'D', 8},
          {"L", 'L', 1},     {"MEMO", 'M', 10}, {"BIN", 'B', 8},  {"LONGC", 'C', 300}};
}

class ExpTableLink : public ExpTest {
 protected:
  ExpTableLink() : table_(SiteFields()) {
    table_.Append({"www.example.com", "A", "512.50", "19800101", "T", "0000000001", "raw", "long"},
                  false, {"", "", "", "", "", "a memo", "", ""});
    table_.Append({"Shop.Kv.IO", "b", "-3", "", "F", "", "", ""}, true);
    link_ = &XbTableLink(table_);
  }

  Outcome Eval(const char* expression) { return EvaluateText(expression, link_); }
  std::string Error(const char* expression) {
    return MessageOf<EXbaseExpression>(expression, link_);
  }

  FakeTable table_;
  TxbDBFExpUserLink* link_ = nullptr;
};

TEST_F(ExpTableLink, ReadsFieldsByTheirTypeLetter) {
  const ValueRow first[] = {
      {"SITE", xb_type::Text, "www.example.com     "},  // raw, full width
      {"site", xb_type::Text, "www.example.com     "},
      {"USER", xb_type::Text, "A"},
      {"NUM", xb_type::Number, "512.5"},
      {"D", xb_type::Date, "2444240"},
      {"L", xb_type::Boolean, ".T."},
      {"MEMO", xb_type::Text, "a memo"},
      {"BIN", xb_type::Other, ""},
      {"NUM > 500 .AND. DELETED() = .F.", xb_type::Boolean, ".T."},
      {"TRIM(SITE) + '/' + USER", xb_type::Text, "www.example.com/A"},
      {"DTOS(D)", xb_type::Text, "19800101"},
      {"RECNO()", xb_type::Number, "1"},
      {"DELETED()", xb_type::Boolean, ".F."},
      {"BOF()", xb_type::Boolean, ".F."},
      {"EOF()", xb_type::Boolean, ".F."},
      {"TYPE('site')", xb_type::Text, "C"},
      {"TYPE('num  ')", xb_type::Text, "N"},
      {"TYPE('MEMO')", xb_type::Text, "M"},
      {"TYPE('nosuch')", xb_type::Text, "U"},
  };
  for (const auto& row : first) {
    Outcome outcome = Eval(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
  TxbExpHandler raw(link_, false, "BIN");
  EXPECT_EQ(raw.Evaluate().text(), "     raw");
}

TEST_F(ExpTableLink, FollowsTheCurrentRecord) {
  TxbExpHandler handler(link_, false, "UPPER(TRIM(SITE)) + STR(RECNO(), 2)");
  EXPECT_EQ(handler.Evaluate().text(), "WWW.EXAMPLE.COM 1");
  table_.GoTo(2);
  EXPECT_EQ(handler.Evaluate().text(), "SHOP.KV.IO 2");

  const ValueRow second[] = {
      {"DELETED()", xb_type::Boolean, ".T."},
      {"D", xb_type::Date, "0"},  // a blank date field is day 0: the empty date
      {"EMPTY(D)", xb_type::Boolean, ".T."},
      {"DTOS(D)", xb_type::Text, "        "},
      {"D = CTOD('')", xb_type::Boolean, ".T."},
      {"D < DATE()", xb_type::Boolean, ".T."},
      {"NUM", xb_type::Number, "-3"},
      {"L", xb_type::Boolean, ".F."},
      {"MEMO", xb_type::Text, ""},
  };
  for (const auto& row : second) {
    Outcome outcome = Eval(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

TEST_F(ExpTableLink, KeyExpressionOfTheSiteTag) {
  TxbExpHandler handler(link_, false, "Upper(SITE)");
  EXPECT_EQ(handler.ExpressionText(), "UPPER(SITE)");
  EXPECT_EQ(handler.NamesOfKind(kKindTableField), "SITE;");
  EXPECT_EQ(handler.WidestOperand(), 20);
  TxbVariant key;
  handler.EvaluateKey(key);
  EXPECT_EQ(handler.ResultType(), xb_type::Text);
  EXPECT_EQ(key.type(), TxbVariant::Text);
  EXPECT_EQ(key.bytes(), "WWW.EXAMPLE.COM     ");
}

TEST_F(ExpTableLink, ListsTheFieldsAnExpressionUses) {
  const std::pair<const char*, const char*> rows[] = {
      {"SITE + USER", "SITE;USER;"},
      {"UPPER(SITE) + STR(NUM)", "SITE;NUM;"},
      {"IIF(L, DTOS(D), (USER))", "L;D;USER;"},
      {"SITE + SITE", "SITE;SITE;"},
      {"RECNO() > 1", ""},
      {"", ""},
  };
  for (const auto& [expression, names] : rows) {
    TxbExpHandler handler(link_, false, expression);
    EXPECT_EQ(handler.NamesOfKind(kKindTableField), names) << expression;
    EXPECT_EQ(handler.NamesOfKind(kKindUserVariable), "") << expression;
  }
}

TEST_F(ExpTableLink, FieldVariablesCarryKindAndWidth) {
  ASSERT_EQ(link_->FieldVars().Count(), 8u);
  const auto& longField = dynamic_cast<const TxblDBFFieldVars&>(link_->FieldVars().At(7));
  EXPECT_EQ(longField.Name(), "LONGC");
  EXPECT_EQ(longField.Kind(), kKindTableField);
  EXPECT_EQ(longField.Width(), 300);
  EXPECT_EQ(longField.Field(), 8);
  TxbExpHandler handler(link_, false, "LONGC + USER");
  EXPECT_EQ(handler.WidestOperand(), 300);
  EXPECT_EQ(handler.Root()->Left()->Kind(), kKindTableField);
  EXPECT_EQ(handler.Root()->Left()->Width(), 300);
}

TEST_F(ExpTableLink, UnknownNamesRaise) {
  EXPECT_EQ(Error("NOSUCH"), "There is no function for NOSUCH");
  EXPECT_EQ(Error("T->SITE"), "There is no function for T.SITE");  // A->B reads as A.B
  EXPECT_EQ(Error("MYFN(1)"), "There is no function for MYFN");
  EXPECT_EQ(Error("TYPE(1)"), "Text needed for Argument 1 of TYPE");
}

TEST_F(ExpTableLink, TheLinkLivesOnItsTable) {
  EXPECT_EQ(&XbTableLink(table_), link_);
  EXPECT_NE(table_.AttachedLink(), nullptr);
  EXPECT_EQ(&link_->Table(), &table_);
  EXPECT_EQ(link_->Generic().Name(), "genericfunction");
  const char* functions[] = {"RECNO", "DELETED", "BOF", "EOF", "TYPE"};
  ASSERT_EQ(link_->Functions().Count(), std::size(functions));
  for (std::size_t i = 0; i < std::size(functions); ++i) {
    EXPECT_EQ(link_->Functions().At(i).Name(), functions[i]);
  }
}

TEST_F(ExpTableLink, ForeignAttachmentIsRefused) {
  FakeTable other(SiteFields());
  other.AttachLink(std::make_unique<XbAttachment>());
  EXPECT_THROW(XbTableLink(other), std::logic_error);
}

// A host that reports the flags it is given and answers the hook with a script.
class ScriptedHost : public TxbDBFLinkHost {
 public:
  bool bof = false, eof = false;
  TxbFormulaMake hook;
  bool Bof() const override { return bof; }
  bool Eof() const override { return eof; }
  const TxbFormulaMake* FormulaHook() const override { return hook ? &hook : nullptr; }
};

TEST_F(ExpTableLink, BeginAndEndFlagsComeFromTheHost) {
  ScriptedHost host;
  host.bof = true;
  link_->SetHost(&host);
  EXPECT_EQ(Eval("BOF()").value, ".T.");
  EXPECT_EQ(Eval("EOF()").value, ".F.");
  host.eof = true;
  EXPECT_EQ(Eval("EOF()").value, ".T.");
  link_->SetHost(nullptr);
  EXPECT_EQ(Eval("BOF()").value, ".F.");
}

TEST_F(ExpTableLink, FormulaHookAnswersUnknownFunctions) {
  ScriptedHost host;
  std::vector<std::string> requests;
  host.hook = [&](std::string_view who, std::string_view st, char* rsl, char& Typ, bool&,
                  bool& tf) {
    requests.push_back(std::string(who) + " " + std::string(st));
    if (who == "FIND") {
      tf = st == "TWICE" || st == "GREET" || st == "BORN" || st == "YES" || st == "NOTHING";
      return;
    }
    TxbExpFunction& call = FormulaCallNode(rsl);
    if (st == "TWICE") {
      call.GetArgument(0, xb_type::Number, call.Scratch(0));
      double result = call.Scratch(0).ToNumber(call.machine()) * 2;
      std::memcpy(rsl, &result, sizeof result);
      Typ = 'N';
    } else if (st == "GREET") {
      std::strcpy(rsl, "hello");
      Typ = 'C';
    } else if (st == "BORN") {
      const unsigned char day[] = {0xd0, 0x4b, 0x25, 0x00};  // 2444240
      std::memcpy(rsl, day, sizeof day);
      Typ = 'D';
    } else if (st == "YES") {
      rsl[0] = 'j';
      Typ = 'L';
    } else {
      Typ = 'X';
    }
  };
  link_->SetHost(&host);

  EXPECT_EQ(Eval("twice(21)").value, "42");
  EXPECT_EQ(Eval("TWICE(NUM) + 1").value, "1026");
  EXPECT_EQ(Eval("GREET()").value, "hello");
  Outcome born = Eval("BORN()");
  EXPECT_EQ(born.type, xb_type::Date);
  EXPECT_EQ(born.value, "2444240");
  EXPECT_EQ(Eval("YES()").value, ".T.");
  EXPECT_EQ(Eval("NOTHING()").type, xb_type::Undefined);
  EXPECT_EQ(Error("OTHER()"), "There is no function for OTHER");

  // Each accepted name was asked for once and stays registered on the link.
  int finds = 0;
  for (const auto& request : requests)
    finds += request.starts_with("FIND TWICE");
  EXPECT_EQ(finds, 1);
  ASSERT_NE(link_->FindFunction("TWICE"), nullptr);
  EXPECT_EQ(link_->FindFunction("TWICE")->Name(), "TWICE");
  EXPECT_EQ(link_->FindFunction("OTHER"), nullptr);
  EXPECT_EQ(link_->FieldVars().Count(), 8u);

  // Without a hook, a registered name gives no value.
  link_->SetHost(nullptr);
  EXPECT_EQ(Eval("GREET()").type, xb_type::Undefined);
}

TEST_F(ExpTableLink, NestedHookCallsKeepTheirOwnResultAreas) {
  ScriptedHost host;
  host.hook = [](std::string_view who, std::string_view, char* rsl, char& Typ, bool&, bool& tf) {
    if (who == "FIND") {
      tf = true;
      return;
    }
    TxbExpFunction& call = FormulaCallNode(rsl);
    call.GetArgument(0, xb_type::Number, call.Scratch(0));
    double result = call.Scratch(0).ToNumber(call.machine()) + 1;
    std::memcpy(rsl, &result, sizeof result);
    Typ = 'F';
  };
  link_->SetHost(&host);
  EXPECT_EQ(Eval("INC(INC(INC(1)))").value, "4");
}

// An application's own function and variable.
class Twice : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "TWICE"; }
  bool Execute(TxbExpFunction& call, TxbExpValue& value, std::uint8_t& type) override {
    call.RequireArgument(0, xb_type::Number, value);
    value.SetNumber(value.ToNumber(call.machine()) * 2);
    type = xb_type::Number;
    return true;
  }
};

class LowerCaseName : public TxbUserDefFunction {
 public:
  std::string_view Name() const override { return "quiet"; }
};

class Answer : public TxbUserDefFieldVar {
 public:
  Answer() : TxbUserDefFieldVar(platform::CurrentMachine().codePages(), "answer", 2) {}
  bool Value(TxbExpValue& value, std::uint8_t& type) override {
    value.SetNumber(42);
    type = xb_type::Number;
    return true;
  }
};

class ExpUserLink : public ExpTest {};

TEST_F(ExpUserLink, AddsFunctionsAndVariablesOfItsOwn) {
  TxbExpUserLink link;
  link.AddFunction(std::make_unique<Twice>());
  link.AddFunction(std::make_unique<LowerCaseName>());
  link.AddFieldVar(std::make_unique<Answer>());
  link.AddFieldVar(
      std::make_unique<TxbUserDefFieldVar>(platform::CurrentMachine().codePages(), "silent"));
  EXPECT_EQ(EvaluateText("TWICE(ANSWER)", &link).value, "84");
  EXPECT_EQ(EvaluateText("silent", &link).type, xb_type::Undefined);
  // Names are found by exact bytes, so a lower-case name is never found.
  EXPECT_EQ(MessageOf<EXbaseExpression>("quiet()", &link), "There is no function for QUIET");
  EXPECT_EQ(MessageOf<EXbaseExpression>("nosuch", &link), "There is no function for NOSUCH");

  TxbExpHandler handler(&link, false, "ANSWER + TWICE(SILENT)");
  EXPECT_EQ(handler.NamesOfKind(kKindUserVariable), "ANSWER;SILENT;");
  EXPECT_EQ(handler.WidestOperand(), 2);
}

TEST_F(ExpUserLink, BaseObjectsProduceNothing) {
  TxbUserDefFunction function;
  TxbUserDefFieldVar variable(platform::CurrentMachine().codePages(), "", 0);
  TxbExpValue value;
  std::uint8_t type = 0;
  EXPECT_EQ(function.Name(), "");
  EXPECT_FALSE(variable.Value(value, type));
  EXPECT_EQ(variable.Name(), "");
  EXPECT_EQ(variable.Kind(), kKindUserVariable);
  TxbExpUserLink link;
  EXPECT_THROW(link.UnknownFunction("X"), EXbaseExpression);
}

}  // namespace
}  // namespace tables::testing
