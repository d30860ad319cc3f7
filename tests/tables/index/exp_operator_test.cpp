// Operators by operand type: numbers and dates, booleans, and the text comparison with its
// pattern rules and flags.
#include <gtest/gtest.h>

#include "exp_eval_support.hpp"
#include "exp_test_machine.hpp"
#include "tables/index/exp_operator.hpp"

namespace tables::testing {
namespace {

class ExpOperators : public ExpTest {};

TEST_F(ExpOperators, ComparesAndComputesNumbersAndDates) {
  const ValueRow rows[] = {
      {"2 > 1", xb_type::Boolean, ".T."},
      {"1 > 1", xb_type::Boolean, ".F."},
      {"1 >= 1", xb_type::Boolean, ".T."},
      {"1 <= 0", xb_type::Boolean, ".F."},
      {"1 < 2", xb_type::Boolean, ".T."},
      {"0.1 + 0.2 = 0.3", xb_type::Boolean, ".F."},  // plain double difference
      {"-2 < -1", xb_type::Boolean, ".T."},
      {"-1 < -2", xb_type::Boolean, ".F."},
      {"-1 > -2", xb_type::Boolean, ".T."},
      {"3 >= 4", xb_type::Boolean, ".F."},
      {"4 <= 4", xb_type::Boolean, ".T."},
      {"5 <= 4", xb_type::Boolean, ".F."},
      {"4 # 4", xb_type::Boolean, ".F."},
      {"4 # 5", xb_type::Boolean, ".T."},
      {"5 = 4", xb_type::Boolean, ".F."},
      {"1 / 0 > 999999", xb_type::Boolean, ".T."},
      // a difference without an order (not a number) counts as equal
      {"0 / 0 = 1", xb_type::Boolean, ".T."},
      {"0 / 0 > 1", xb_type::Boolean, ".F."},
      {"0 / 0 < 1", xb_type::Boolean, ".F."},
      {"7 / 2", xb_type::Number, "3.5"},
      {"1 / 0", xb_type::Number, "inf"},
      {"2 ^ 10", xb_type::Number, "1024"},
      {"2 ^ 1.9", xb_type::Number, "2"},  // one factor: the left value itself
      {"2 ^ -1", xb_type::Number, "2"},
      {"0.5 ^ 3", xb_type::Number, "0.125"},
      {"1 ^ 100000", xb_type::Number, "1"},
      {"{20240101} > {19991231}", xb_type::Boolean, ".T."},
      {"{19800101} = 2444240", xb_type::Boolean, ".T."},
      {"DATE() > {20240314}", xb_type::Boolean, ".T."},
      // every empty date is alike and the smallest of all dates
      {"CTOD('') = {}", xb_type::Boolean, ".T."},
      {"CTOD('') = CTOD('  ')", xb_type::Boolean, ".T."},
      {"CTOD('') < {19800101}", xb_type::Boolean, ".T."},
      {"{} < {19800101}", xb_type::Boolean, ".T."},
      {"{19800101} > CTOD('')", xb_type::Boolean, ".T."},
      {".T. = .T.", xb_type::Boolean, ".T."},
      {".T. # .F.", xb_type::Boolean, ".T."},
      {".F. = .F.", xb_type::Boolean, ".T."},
      {".T. .AND. .T.", xb_type::Boolean, ".T."},
      {".F. .OR. .F.", xb_type::Boolean, ".F."},
  };
  for (const auto& row : rows) {
    Outcome outcome = EvaluateText(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

TEST_F(ExpOperators, ComparesTexts) {
  const ValueRow rows[] = {
      {"'ABC' = 'ABC   '", xb_type::Boolean, ".T."},
      {"'ABC   ' = 'ABC'", xb_type::Boolean, ".T."},
      {"'ABCD' = 'ABC'", xb_type::Boolean, ".F."},  // no prefix matching
      {"'ABC' = 'ABCD'", xb_type::Boolean, ".F."},
      {"'abc' = 'ABC'", xb_type::Boolean, ".F."},
      {"'B' > 'A'", xb_type::Boolean, ".T."},
      {"'a' > 'B'", xb_type::Boolean, ".T."},
      {"CHR(200) > 'z'", xb_type::Boolean, ".T."},  // unsigned bytes
      {"'AB' < 'ABC'", xb_type::Boolean, ".T."},
      {"'' = ''", xb_type::Boolean, ".T."},
      {"'' < 'a'", xb_type::Boolean, ".T."},
      {"'' = 'a'", xb_type::Boolean, ".F."},
      {"'a' > ''", xb_type::Boolean, ".T."},
      {"'  ' = ''", xb_type::Boolean, ".F."},  // blanks are not the empty text
      {"'  ' = ' '", xb_type::Boolean, ".T."},
      {"'SMITH' = 'SM*'", xb_type::Boolean, ".T."},
      {"'SMITH' = 'SMI'", xb_type::Boolean, ".F."},
      {"'ROBERTSON' = '*SON'", xb_type::Boolean, ".T."},
      {"'ABAB' = '*AB'", xb_type::Boolean, ".F."},  // the first occurrence must end the text
      {"'XSMITHX' = '*MIT*'", xb_type::Boolean, ".T."},
      {"'SMITH' = '*MIT'", xb_type::Boolean, ".F."},
      {"'anything' = '*'", xb_type::Boolean, ".T."},
      {"'anything' = '**'", xb_type::Boolean, ".T."},
      {"'SM*' = 'SM*'", xb_type::Boolean, ".T."},
      {"'SMITH' # 'SM*'", xb_type::Boolean, ".F."},
      {"'SMITH' >= 'SM*'", xb_type::Boolean, ".T."},
      {"'SA' < 'SM*'", xb_type::Boolean, ".T."},  // no match: the whole comparison stands
      {"'SMITH' = 'sm*'", xb_type::Boolean, ".F."},
  };
  for (const auto& row : rows) {
    Outcome outcome = EvaluateText(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

bool Holds(TxbExpHandler& handler) {
  const TxbExpValue& value = handler.Evaluate();
  EXPECT_EQ(handler.ResultType(), xb_type::Boolean);
  return value.boolean();
}

TEST_F(ExpOperators, CaseInsensitiveFlagFoldsBothSides) {
  TxbExpHandler handler(nullptr, false, "'abc' = 'ABC'");
  EXPECT_FALSE(Holds(handler));
  handler.SetCaseInsensitive(true);
  EXPECT_FALSE(Holds(handler));  // the flag is taken when the tree is parsed
  handler.SetExpression("'abc' = 'ABC'");
  EXPECT_TRUE(Holds(handler));
  handler.SetExpression("'smith' = 'SM*'");
  EXPECT_TRUE(Holds(handler));
  handler.SetExpression("'\xe4rger' = '\xc4R*'");  // ANSI letters fold in patterns
  EXPECT_TRUE(Holds(handler));
  handler.SetExpression("'abd' > 'ABC'");
  EXPECT_TRUE(Holds(handler));
}

TEST_F(ExpOperators, PartialCompareFlagTurnsPatternsOff) {
  TxbExpHandler handler(nullptr, false, "");
  handler.SetPartialCompare(false);
  handler.SetExpression("'SMITH' = 'SM*'");
  EXPECT_FALSE(Holds(handler));
  handler.SetExpression("'SM*' = 'SM*'");
  EXPECT_TRUE(Holds(handler));
}

TEST_F(ExpOperators, SqlStyleUsesPercentAsWildcard) {
  TxbExpHandler sql(nullptr, true, "'SMITH' = 'SM%'");
  EXPECT_EQ(sql.Wildcard(), '%');
  EXPECT_TRUE(Holds(sql));
  sql.SetExpression("'SMITH' = 'SM*'");
  EXPECT_FALSE(Holds(sql));
  TxbExpHandler plain(nullptr, false, "'SMITH' = 'SM%'");
  EXPECT_EQ(plain.Wildcard(), '*');
  EXPECT_FALSE(Holds(plain));
}

TEST_F(ExpOperators, OperatorNodeCopiesTheFlagsWhenMade) {
  TxbExpHandler handler(nullptr, true, "");
  handler.SetCaseInsensitive(true);
  handler.SetPartialCompare(false);
  handler.SetExpression("'a' = 'b'");
  const auto* op = dynamic_cast<const TxbExpOperator*>(handler.Root());
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(op->code(), xb_op::Equal);
  EXPECT_EQ(op->level(), 5);
  EXPECT_TRUE(op->rules().caseInsensitive);
  EXPECT_FALSE(op->rules().partialCompare);
  EXPECT_EQ(op->rules().wildcard, '%');
}

TEST_F(ExpOperators, ComparisonOfValuelessOperandsGivesNoBooleanValue) {
  TxbExpHandler handler(nullptr, false, "() = ()");
  const TxbExpValue& value = handler.Evaluate();
  EXPECT_EQ(handler.ResultType(), xb_type::Boolean);
  EXPECT_TRUE(value.IsUnassigned());
  EXPECT_FALSE(value.ToBoolean(platform::CurrentMachine()));
}

TEST_F(ExpOperators, OperatorLevels) {
  const std::pair<std::uint8_t, std::uint8_t> levels[] = {
      {xb_op::Equal, 5}, {xb_op::Contains, 5}, {xb_op::ExactlyEqual, 5}, {xb_op::Plus, 4},
      {xb_op::Minus, 4}, {xb_op::Times, 3},    {xb_op::Divide, 3},       {xb_op::Power, 2},
      {xb_op::Not, 6},   {xb_op::And, 7},      {xb_op::Or, 8},           {142, 0},
  };
  for (const auto& [code, level] : levels)
    EXPECT_EQ(OperatorLevel(code), level) << int(code);
}

}  // namespace
}  // namespace tables::testing
