// Evaluating into the key holder, and the key holder's own order.
#include <gtest/gtest.h>

#include <string>

#include "exp_test_machine.hpp"
#include "tables/index/exp_handler.hpp"
#include "tables/index/key_variant.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

class ExpKeys : public ExpTest {
 protected:
  // The key an expression gives, starting from a key that holds "untouched".
  TxbVariant KeyOf(const char* expression, std::uint8_t* resultType = nullptr) {
    TxbVariant key;
    key.SetText("untouched");
    TxbExpHandler handler(nullptr, false, expression);
    handler.EvaluateKey(key);
    if (resultType) *resultType = handler.ResultType();
    return key;
  }
};

TEST_F(ExpKeys, StoresEachResultTypeInItsKeyForm) {
  std::uint8_t type = 0;
  TxbVariant text = KeyOf("UPPER('abc ')", &type);
  EXPECT_EQ(type, xb_type::Text);
  EXPECT_EQ(text.type(), TxbVariant::Text);
  EXPECT_EQ(text.bytes(), "ABC ");

  TxbVariant number = KeyOf("1.5", &type);
  EXPECT_EQ(type, xb_type::Number);
  EXPECT_EQ(number.type(), TxbVariant::Number);
  EXPECT_EQ(number.bytes(), std::string("\0\0\0\0\0\0\xf8\x3f", 8));  // 1.5, little-endian
  EXPECT_EQ(number.AsNumber(), 1.5);

  TxbVariant date = KeyOf("{19800101}", &type);
  EXPECT_EQ(type, xb_type::Date);
  EXPECT_EQ(date.type(), TxbVariant::Date);
  EXPECT_EQ(date.bytes(), std::string("\xd0\x4b\x25\x00", 4));  // 2444240
  EXPECT_EQ(date.AsDate(), 2444240);

  TxbVariant logical = KeyOf("1 = 1", &type);
  EXPECT_EQ(type, xb_type::Boolean);
  EXPECT_EQ(logical.type(), TxbVariant::Logical);
  EXPECT_TRUE(logical.AsLogical());
  EXPECT_FALSE(KeyOf(".F.").AsLogical());
}

TEST_F(ExpKeys, EveryEmptyDateIsDayZero) {
  for (const char* expression : {"CTOD('')", "{}", "CTOD('  ')", "DESCEND(CTOD(''))"}) {
    TxbVariant key = KeyOf(expression);
    EXPECT_EQ(key.type(), TxbVariant::Date) << expression;
    EXPECT_EQ(key.AsDate(), 0) << expression;
  }
  // A date beyond every 32-bit day is no day either.
  EXPECT_EQ(KeyOf("1E10 + {19800101}").AsDate(), 0);
  EXPECT_EQ(KeyOf("DESCEND({19800101})").AsDate(), 2787568);
}

TEST_F(ExpKeys, EmptyExpressionStoresEmptyText) {
  std::uint8_t type = 99;
  TxbVariant key = KeyOf("", &type);
  EXPECT_EQ(type, xb_type::None);
  EXPECT_EQ(key.type(), TxbVariant::Text);
  EXPECT_TRUE(key.empty());
}

TEST_F(ExpKeys, ResultsWithoutKeyFormLeaveTheKeyUntouched) {
  std::uint8_t type = 99;
  TxbVariant undefined = KeyOf("()", &type);
  EXPECT_EQ(type, xb_type::None);
  EXPECT_EQ(undefined.bytes(), "untouched");

  TxbVariant unassigned = KeyOf("() = ()", &type);
  EXPECT_EQ(type, xb_type::Boolean);
  EXPECT_EQ(unassigned.bytes(), "untouched");
}

TEST_F(ExpKeys, FailedEvaluationLeavesTheKeyAndReportsUndefined) {
  TxbVariant key;
  key.SetText("kept");
  TxbExpHandler handler(nullptr, false, "CHR(300)");
  EXPECT_THROW(handler.EvaluateKey(key), EXbaseExpression);
  EXPECT_EQ(key.bytes(), "kept");
  EXPECT_EQ(handler.ResultType(), xb_type::Undefined);
}

TEST_F(ExpKeys, KeyBufferKeepsItsCapacity) {
  TxbVariant key;
  key.SetText(std::string(100, 'x'));
  std::size_t capacity = key.capacity();
  key.SetNumber(2);
  EXPECT_EQ(key.length(), 8u);
  EXPECT_EQ(key.capacity(), capacity);
}

TxbVariant Text(const std::string& text) {
  TxbVariant key;
  key.SetText(text);
  return key;
}

TxbVariant Number(double value) {
  TxbVariant key;
  key.SetNumber(value);
  return key;
}

TxbVariant Day(std::int32_t day) {
  TxbVariant key;
  key.SetDate(day);
  return key;
}

TxbVariant Logical(bool value) {
  TxbVariant key;
  key.SetLogical(value);
  return key;
}

TxbVariant Raw(const std::string& bytes) {
  TxbVariant key;
  key.SetRaw(bytes);
  return key;
}

TEST(TxbVariantOrder, ComparesByTypeRules) {
  struct Row {
    TxbVariant left, right;
    int order;
  };
  const Row rows[] = {
      {Text(""), Text(""), 0},
      {Text(""), Text("a"), -1},
      {Text("a"), Text(""), 1},
      {TxbVariant(), Number(-5), -1},
      {Text("ab"), Text("abc"), -1},
      {Text("b"), Text("abc"), 1},
      {Text("\xe9"), Text("z"), 1},  // unsigned bytes
      {Number(-2), Number(1), -1},
      {Number(3), Number(3), 0},
      {Day(2444240), Day(2444239), 1},
      {Day(-1), Day(1), -1},
      {Logical(false), Logical(true), -1},
      {Logical(true), Logical(true), 0},
      {Raw("\x01"), Text("\x02"), -1},
      {Number(1), Raw(std::string(8, '\xff')), -1},
  };
  for (const auto& row : rows) {
    int order = Compare(row.left, row.right);
    EXPECT_EQ((order > 0) - (order < 0), row.order)
        << row.left.bytes() << " / " << row.right.bytes();
  }
}

TEST(TxbVariantOrder, MismatchedTypesRaise) {
  try {
    Compare(Text("a"), Number(1));
    FAIL() << "no error";
  } catch (const EXbaseError& e) {
    EXPECT_STREQ(e.what(), "Variant types mismatch for compare");
  }
}

TEST(TxbVariantOrder, ReadingAKeyAsAnotherTypeRaises) {
  EXPECT_THROW(Text("abc").AsNumber(), EXbaseError);
  EXPECT_THROW(Number(1).AsDate(), EXbaseError);
  EXPECT_THROW(Day(1).AsLogical(), EXbaseError);
}

}  // namespace
}  // namespace tables::testing
