// Reading and binding: precedence, signs, keywords, literals, groups and the parse errors.
#include <gtest/gtest.h>

#include <string>

#include "exp_eval_support.hpp"
#include "exp_test_machine.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

class ExpParser : public ExpTest {};

TEST_F(ExpParser, EvaluatesByPrecedenceAndBinding) {
  const ValueRow rows[] = {
      {"1+2*3", xb_type::Number, "7"},
      {"(1+2)*3", xb_type::Number, "9"},
      {"2^3^2", xb_type::Number, "64"},
      {"2^0", xb_type::Number, "2"},
      {"2**3", xb_type::Number, "8"},
      {"10-2-3", xb_type::Number, "5"},
      {"12/2/3", xb_type::Number, "2"},
      {"-5+2", xb_type::Number, "-3"},
      {"3--2", xb_type::Number, "5"},
      {"3 - - 2", xb_type::Number, "5"},
      {"2*-3", xb_type::Number, "-6"},
      {"+4", xb_type::Number, "4"},
      {"-A", xb_type::Number, "0"},  // a sign turns a name into a number literal
      {"5+-A", xb_type::Number, "5"},
      {"1.5", xb_type::Number, "1.5"},
      {"1E3 + 1", xb_type::Number, "1001"},
      {"2.5E-1 * 4", xb_type::Number, "1"},
      {"1X", xb_type::Number, "0"},  // does not convert entirely
      {"1 = 1 .AND. 2 = 2", xb_type::Boolean, ".T."},
      {"1 = 1 .AND. 2 = 3", xb_type::Boolean, ".F."},
      {".NOT. 1 = 2", xb_type::Boolean, ".T."},
      {"!(1=1)", xb_type::Boolean, ".F."},
      {".T. .OR. .F. .AND. .F.", xb_type::Boolean, ".T."},  // AND binds tighter than OR
      {"(.T. .OR. .F.) .AND. .F.", xb_type::Boolean, ".F."},
      {".NOT. .F. .AND. .F.", xb_type::Boolean, ".F."},
      {"T. .OR. .F", xb_type::Boolean, ".T."},
      {"TRUE AND FALSE", xb_type::Boolean, ".F."},
      {"true or false", xb_type::Boolean, ".T."},
      {"NOT .t.", xb_type::Boolean, ".F."},
      {".T..AND..F.", xb_type::Boolean, ".F."},
      {"1 <> 2", xb_type::Boolean, ".T."},
      {"1 != 1", xb_type::Boolean, ".F."},
      {"1 # 2", xb_type::Boolean, ".T."},
      {"2 => 1", xb_type::Boolean, ".T."},
      {"1 =< 1", xb_type::Boolean, ".T."},
      {"1+1 = 2", xb_type::Boolean, ".T."},
      {"'abc' $ 'xxabcxx'", xb_type::Boolean, ".T."},
      {"'abd' $ 'xxabcxx'", xb_type::Boolean, ".F."},
      {"'' $ 'abc'", xb_type::Boolean, ".F."},
      {"'abc  ' - 'de'", xb_type::Text, "abcde  "},
      {"'ab' + 'cd'", xb_type::Text, "abcd"},
      {"[br] + \"x\" + 'y'", xb_type::Text, "brxy"},
      {"'(' + ')'", xb_type::Text, "()"},
      {"AT(',', 'a,b')", xb_type::Number, "2"},  // commas and parentheses inside literals
      {"LEN('(()') + LEN([,)])", xb_type::Number, "5"},
      {"'unclosed", xb_type::Text, "unclosed"},
      {"{19800101}", xb_type::Date, "2444240"},
      {"{1/1/80}", xb_type::Date, "2444240"},
      {"{}", xb_type::Date, "0"},
      {"{19800102} - {19800101}", xb_type::Date, "1"},
      {"DATE() - DATE()", xb_type::Date, "0"},
      {"()", xb_type::Undefined, ""},
      {"((7))", xb_type::Number, "7"},
      {"5 @", xb_type::Number, "5"},  // tokens of other characters are dropped
  };
  for (const auto& row : rows) {
    Outcome outcome = EvaluateText(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

TEST_F(ExpParser, DateArithmeticTakesTheRightOperandsType) {
  EXPECT_EQ(EvaluateText("DATE() - 1").type, xb_type::Number);
  EXPECT_EQ(EvaluateText("1 + DATE()").type, xb_type::Date);
  Outcome tomorrow = EvaluateText("1 + DATE()");
  EXPECT_EQ(tomorrow.value, std::to_string(*TxbDBFDate::FromCalendar(2024, 3, 16)));
}

TEST_F(ExpParser, EmptyExpressionHasNoValue) {
  for (const char* text : {"", "   "}) {
    TxbExpHandler handler(nullptr, false, text);
    EXPECT_EQ(handler.Root(), nullptr);
    handler.Evaluate();
    EXPECT_EQ(handler.ResultType(), xb_type::None);
    EXPECT_EQ(handler.ExpressionText(), "");
    EXPECT_EQ(handler.OperandCount(), 0);
  }
}

TEST_F(ExpParser, RaisesParseAndEvaluationMessages) {
  const ErrorRow rows[] = {
      {"(1+2", "Missing closing parentheses"},
      {"UPPER('a'", "Missing closing parentheses"},
      {"(')'", "Missing closing parentheses"},
      {"1+2)", "Unexpected closing parentheses found"},
      {")", "Unexpected closing parentheses found"},
      {"NOSUCH(1)", "There is no function for NOSUCH"},
      {"nosuch(1)", "There is no function for NOSUCH"},
      {"SITE", "Field/variable SITE is unknown"},
      {"site + 1", "Field/variable SITE is unknown"},
      {"1 2", "Expression cannot be evaluated"},
      {"5 @ 3", "Expression cannot be evaluated"},
      {"-(1)", "Expression cannot be evaluated"},
      {"upper ('a')", "Field/variable UPPER is unknown"},
      {"1 +", "Target value missing for + operation"},
      {"* 2", "Target value missing for * operation"},
      {".NOT.", "Target value missing for .NOT. operation"},
      {"1 + * 2", "Expression cannot be evaluated"},
      {"'it''s'", "Expression cannot be evaluated"},
      {"'a' = 1", "The two sides of an operation do not match"},
      {"'1' + 1", "The two sides of an operation do not match"},
      {"() = 1", "The two sides of an operation do not match"},
      {".NOT. 1", "A boolean value is required but invalid"},
      {".NOT. 'a'", "A boolean value is required but invalid"},
      {".T. + .T.", "A number value is required but invalid"},
      {".T. ^ .F.", "A number value is required but invalid"},
      {"'abc' == 'abc'", "A assigned value is required but invalid"},
      {"1 == 1", "A assigned value is required but invalid"},
      {"1 $ 2", "A assigned value is required but invalid"},
      {".T. > .F.", "A assigned value is required but invalid"},
      {"'a' * 'b'", "A assigned value is required but invalid"},
      {"'a' .AND. 'b'", "A assigned value is required but invalid"},
      {"1 .AND. 2", "A assigned value is required but invalid"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MessageOf<EXbaseExpression>(row.expression), row.message) << row.expression;
  }
}

TEST_F(ExpParser, RefusesNestingDeeperThanTheLimit) {
  std::string deepGroups = std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(MessageOf<EXbaseExpression>(deepGroups), "Expression cannot be evaluated");
  std::string longChain = "1";
  for (int i = 0; i < 5000; ++i)
    longChain += "+1";
  EXPECT_EQ(MessageOf<EXbaseExpression>(longChain), "Expression cannot be evaluated");

  std::string fits = "1";
  for (int i = 0; i < 500; ++i)
    fits += "+1";
  EXPECT_EQ(EvaluateText(fits).value, "501");
}

TEST_F(ExpParser, DisplaysTheParsedTree) {
  const std::pair<const char*, const char*> rows[] = {
      {"upper('x')", "UPPER(\"x\")"},
      {"1 + 2 * 3", "1+2*3"},
      {"(1+2)*3", "(1+2)*3"},
      {"'a' $ 'b'", "\"a\"in string\"b\""},
      {".not. .t.", ".NOT..T."},
      {"3.140", "3.140"},
      {"-5", "-5"},
      {"1 # 2", "1#2"},
      {"1 <> 2", "1#2"},
      {"2**3", "2^3"},
      {"1 and 2", "1.AND.2"},
      {"{19800101}", "{1/1/1980}"},
      {"{}", "{        }"},
      {"IIF(.T.,1,)", "IIF(.T.,1,)"},
      {"DATE( )", "DATE()"},
      {"()", "()"},
      {"[x]", "\"x\""},
  };
  for (const auto& [text, display] : rows) {
    TxbExpHandler handler(nullptr, false, text);
    EXPECT_EQ(handler.ExpressionText(), display) << text;
  }
}

TEST_F(ExpParser, CountsOperandsWidthsAndDecimals) {
  TxbExpHandler handler(nullptr, false, "1 + 22.50 * 3 - LEN('abc')");
  EXPECT_EQ(handler.OperandCount(), 5);  // four literals and one call
  EXPECT_EQ(handler.WidestOperand(), 5);
  EXPECT_EQ(handler.MostDecimals(), 2);

  handler.SetExpression("-1.125");
  EXPECT_EQ(handler.OperandCount(), 1);
  EXPECT_EQ(handler.WidestOperand(), 6);
  EXPECT_EQ(handler.MostDecimals(), 3);

  handler.SetExpression("(.T.) .AND. ('a' = 'b')");
  EXPECT_EQ(handler.OperandCount(), 3);
  EXPECT_EQ(handler.WidestOperand(), 0);  // text literals do not count for the width
}

TEST_F(ExpParser, SetExpressionReplacesTreeAndResult) {
  TxbExpHandler handler(nullptr, false, "1 + 1");
  handler.Evaluate();
  EXPECT_EQ(handler.ResultType(), xb_type::Number);
  handler.SetExpression("'a'");
  EXPECT_EQ(handler.ResultType(), xb_type::None);
  EXPECT_EQ(handler.Evaluate().text(), "a");
  EXPECT_THROW(handler.SetExpression("(("), EXbaseExpression);
  EXPECT_EQ(handler.Root(), nullptr);
  EXPECT_EQ(handler.OperandCount(), 0);
}

TEST_F(ExpParser, FailedParseLeavesNoOperandsBehind) {
  TxbExpHandler handler(nullptr, false, "LEN('abc')");
  for (const char* text : {"12.5 7", "LEN('a') + (3.25", "SUBSTR('a', 2) NOSUCH(1)"}) {
    EXPECT_THROW(handler.SetExpression(text), EXbaseExpression) << text;
    EXPECT_EQ(handler.Root(), nullptr) << text;
    EXPECT_EQ(handler.OperandCount(), 0) << text;
    EXPECT_EQ(handler.WidestOperand(), 0) << text;
    EXPECT_EQ(handler.MostDecimals(), 0) << text;
  }
}

TEST_F(ExpParser, NodesCarryClassCodesAndLiteralFacts) {
  TxbExpHandler handler(nullptr, false, "'abc' + 'd' = UPPER('x') .OR. 1.25 > 2");
  const TxbExpBaseObject* root = handler.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->ClassCode(), xb_node::BoundOperator);
  EXPECT_EQ(root->Name(), ".OR.");
  const TxbExpBaseObject* equal = root->Left();
  EXPECT_EQ(equal->Name(), "=");
  EXPECT_EQ(equal->Left()->Left()->ClassCode(), xb_node::TextLiteral);
  EXPECT_EQ(equal->Left()->Left()->Width(), 3);
  EXPECT_EQ(equal->Right()->ClassCode(), xb_node::Function);
  const TxbExpBaseObject* number = root->Right()->Left();
  EXPECT_EQ(number->ClassCode(), xb_node::NumberLiteral);
  EXPECT_EQ(number->Width(), 4);
  EXPECT_EQ(number->Decimals(), 2);
  EXPECT_EQ(number->Kind(), -1);
}

TEST_F(ExpParser, UnboundOperatorStaysInTheTreeUntilEvaluated) {
  TxbExpHandler handler(nullptr, false, "2 ^ *");
  const TxbExpBaseObject* power = handler.Root();
  ASSERT_NE(power, nullptr);
  EXPECT_EQ(power->Name(), "^");
  EXPECT_EQ(power->ClassCode(), xb_node::BoundOperator);
  EXPECT_EQ(power->Right()->ClassCode(), xb_node::UnboundOperator);
  EXPECT_EQ(MessageOf<EXbaseExpression>("2 ^ *"), "Target value missing for * operation");
  EXPECT_THROW(handler.Evaluate(), EXbaseExpression);
  EXPECT_EQ(handler.ResultType(), xb_type::Undefined);
}

TEST_F(ExpParser, UnconvertibleDateLiteralIsAConversionError) {
  EXPECT_EQ(MessageOf<platform::EConvertError>("{abc}"), "'abc' is not a valid date");
}

}  // namespace
}  // namespace tables::testing
