// Every built-in function at its boundaries, argument checks and the global registry.
#include <gtest/gtest.h>

#include <string>

#include "exp_eval_support.hpp"
#include "exp_test_machine.hpp"
#include "platform/exception.hpp"
#include "tables/index/exp_builtins.hpp"
#include "tables/storage/dbf_date.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

class ExpBuiltIns : public ExpTest {};

void ExpectRows(std::initializer_list<ValueRow> rows) {
  for (const auto& row : rows) {
    Outcome outcome = EvaluateText(row.expression);
    EXPECT_EQ(outcome.type, row.type) << row.expression;
    EXPECT_EQ(outcome.value, row.value) << row.expression;
  }
}

TEST_F(ExpBuiltIns, TrimmingAndCasing) {
  ExpectRows({
      {"ALLTRIM('  ab  ')", xb_type::Text, "ab"},
      {"ALLTRIM(CHR(9) + 'ab' + CHR(10) + CHR(32))", xb_type::Text, "ab"},
      {"ALLTRIM('')", xb_type::Text, ""},
      {"ALLTRIM(CHR(160) + 'a')", xb_type::Text,
       "\xa0"
       "a"},  // only codes up to 32
      {"LTRIM('  a  ')", xb_type::Text, "a  "},
      {"TRIM('  a  ')", xb_type::Text, "  a"},
      {"TRIM('a' + CHR(9) + CHR(0))", xb_type::Text, "a"},
      {"RTRIM('a  ')", xb_type::Text, "a"},
      {"UPPER('abc')", xb_type::Text, "ABC"},
      {"upper('x\xe4')", xb_type::Text, "X\xc4"},
      {"UPPER('a' + CHR(0) + 'b')", xb_type::Text, "A"},  // ends at the zero byte
      {"LOWER('AbC\xc4')", xb_type::Text, "abc\xe4"},
      {"LOWER('A' + CHR(0) + 'B')", xb_type::Text, "a"},
      {"UPPER(.T.)", xb_type::Text, "TRUE"},  // a boolean converts to text
      {"PROPER('hello wORLD')", xb_type::Text, "Hello World"},
      {"PROPER(\"o'neil mc-donald\")", xb_type::Text, "O'neil Mc-Donald"},
      {"PROPER('a1b x.y (z)')", xb_type::Text, "A1b X.Y (Z)"},
      {"PROPER('\xe4RGER')", xb_type::Text, "\xc4rger"},
      {"PROPER('')", xb_type::Text, ""},
  });
}

TEST_F(ExpBuiltIns, CuttingSearchingAndMeasuring) {
  ExpectRows({
      {"SUBSTR('abcdef', 3)", xb_type::Text, "cdef"},
      {"SUBSTR('abcdef', 0, 2)", xb_type::Text, ""},
      {"SUBSTR('abc', 4)", xb_type::Text, ""},
      {"SUBSTR('abcdef', 2, 3)", xb_type::Text, "bcd"},
      {"SUBSTR('abcdef', 5, 10)", xb_type::Text, "ef"},
      {"SUBSTR('abcdef', -2, 3)", xb_type::Text, "abc"},
      {"SUBSTR('abcdef', 2, 0)", xb_type::Text, ""},
      {"SUBSTR('abcdef', 2, -1)", xb_type::Text, ""},
      {"SUBSTR('abcdef', 2.9, 2.9)", xb_type::Text, "bc"},
      {"SUBSTR('abcdef', 2, 'x')", xb_type::Text, "bcdef"},  // a count that is no number
      {"LEFT('abc', 2)", xb_type::Text, "ab"},
      {"LEFT('abc', 0.5)", xb_type::Text, ""},
      {"LEFT('abc', 0.01)", xb_type::Text, ""},
      {"LEFT('abc', 5)", xb_type::Text, "abc"},
      {"LEFT('abc', -1)", xb_type::Text, ""},
      {"RIGHT('abc', 2)", xb_type::Text, "bc"},
      {"RIGHT('abc', 0)", xb_type::Text, "abc"},
      {"RIGHT('abc', 3)", xb_type::Text, "abc"},
      {"RIGHT('abc', -1)", xb_type::Text, "abc"},
      {"RIGHT('abc', 1.9)", xb_type::Text, "c"},
      {"AT('a', 'banana', 2)", xb_type::Number, "4"},
      {"AT('a', 'banana', 5)", xb_type::Number, "6"},
      {"AT('x', 'banana')", xb_type::Number, "0"},
      {"AT('a', 'banana')", xb_type::Number, "2"},
      {"AT('', 'banana')", xb_type::Number, "0"},
      {"AT('a', 'banana', 0)", xb_type::Number, "0"},
      {"AT('ana', 'banana', 2)", xb_type::Number, "4"},  // occurrences overlap
      {"AT('a', 'banana', 'x')", xb_type::Number, "2"},
      {"AT('a', 'banana', 2.9)", xb_type::Number, "4"},
      {"AT('A', 'banana')", xb_type::Number, "0"},
      {"ATC('A', 'banana')", xb_type::Number, "2"},
      {"ATC('NA', 'BaNaNa', 2)", xb_type::Number, "5"},
      {"LEN('abc')", xb_type::Number, "3"},
      {"LEN('')", xb_type::Number, "0"},
      {"LEN('ab  ')", xb_type::Number, "4"},
      {"ASC('A')", xb_type::Number, "65"},
      {"ASC('')", xb_type::Number, "0"},
      {"ASC(CHR(255))", xb_type::Number, "255"},
      {"CHR(65)", xb_type::Text, "A"},
      {"CHR(65.5)", xb_type::Text, "B"},  // halves to even
      {"CHR(66.5)", xb_type::Text, "B"},
      {"LEN(CHR(0))", xb_type::Number, "1"},
      {"SPACE(3)", xb_type::Text, "   "},
      {"SPACE(0)", xb_type::Text, ""},
      {"SPACE(-2)", xb_type::Text, ""},
      {"SPACE(2.9)", xb_type::Text, "  "},
  });
}

TEST_F(ExpBuiltIns, Padding) {
  ExpectRows({
      {"PADL('ab', 5, '*')", xb_type::Text, "***ab"},
      {"PADL('ab', 5)", xb_type::Text, "   ab"},
      {"PADR('ab', 5)", xb_type::Text, "ab   "},
      {"PADC('ab', 5)", xb_type::Text, " ab  "},
      {"PADC('ab', 6, '*')", xb_type::Text, "**ab**"},
      {"PADR('abcdef', 3)", xb_type::Text, "abcdef"},
      {"PADL('abcdef', 3)", xb_type::Text, "abcdef"},
      {"PADL('ab', 4.5)", xb_type::Text, "  ab"},  // width rounds half to even
      {"PADL('ab', 5.5)", xb_type::Text, "    ab"},
      {"PADL('ab', -3)", xb_type::Text, "ab"},
      // a padding call inside another's arguments keeps its own pad character
      {"PADL(PADR('a', 2, 'x'), 4, '*')", xb_type::Text, "**ax"},
  });
}

TEST_F(ExpBuiltIns, Numbers) {
  ExpectRows({
      {"CEILING(1.2)", xb_type::Number, "2"},   {"CEILING(-1.2)", xb_type::Number, "-1"},
      {"CEILING(3)", xb_type::Number, "3"},     {"CEILING(-0.5)", xb_type::Number, "0"},
      {"FLOOR(1.7)", xb_type::Number, "1"},     {"FLOOR(-1.2)", xb_type::Number, "-2"},
      {"FLOOR(-3)", xb_type::Number, "-3"},     {"FLOOR(0.5)", xb_type::Number, "0"},
      {"INT(3.9)", xb_type::Number, "3"},       {"INT(-3.9)", xb_type::Number, "-3"},
      {"INT(-0.5)", xb_type::Number, "0"},      {"INT(1E12 + 0.5)", xb_type::Number, "1e+12"},
      {"MOD(7, 3)", xb_type::Number, "1"},      {"MOD(-7, 3)", xb_type::Number, "-1"},
      {"MOD(7, -3)", xb_type::Number, "1"},     {"MOD(7.9, 3.9)", xb_type::Number, "1"},
      {"MOD(-6, 3)", xb_type::Number, "0"},     {"VAL('12.5')", xb_type::Number, "12.5"},
      {"VAL('  -3  ')", xb_type::Number, "-3"}, {"VAL('')", xb_type::Number, "0"},
      {"VAL('12abc')", xb_type::Number, "0"},   {"VAL('1E3')", xb_type::Number, "1000"},
      {"VAL('.5')", xb_type::Number, "0.5"},
  });
}

TEST_F(ExpBuiltIns, NumbersAsText) {
  ExpectRows({
      {"STR(3.14159, 8, 2)", xb_type::Text, "    3.14"},
      {"STR(123456, 3)", xb_type::Text, "***"},
      {"STR(5)", xb_type::Text, "         5"},
      {"STR(-5, 2)", xb_type::Text, "-5"},
      {"STR(2.5, 1)", xb_type::Text, "3"},  // halves away from zero
      {"STR(-2.5, 2)", xb_type::Text, "-3"},
      {"STR(0.125, 5, 2)", xb_type::Text, " 0.13"},
      {"STR(2.675, 5, 2)", xb_type::Text, " 2.68"},
      {"STR(1.005, 6, 2)", xb_type::Text, "  1.01"},  // as a N(6,2) field stores it
      {"STR(-1.005, 6, 2)", xb_type::Text, " -1.01"},
      {"STR(99.995, 5, 2)", xb_type::Text, "*****"},  // rounds to 100.00, as a field refuses it
      {"STR(-9.5, 2)", xb_type::Text, "**"},
      {"STR(-0.001, 6, 2)", xb_type::Text, "  0.00"},
      {"STR(9.999, 4, 2)", xb_type::Text, "****"},
      {"STR(12345.678, 9, 2)", xb_type::Text, " 12345.68"},
      {"STR(1.5, 4, 1)", xb_type::Text, " 1.5"},
      {"STR(5, 'x')", xb_type::Text, "         5"},  // a width that is no number
      {"STR(5.5, 4, 'x')", xb_type::Text, "   6"},
      {"STR(5, 4.5)", xb_type::Text, "   5"},
      {"STR(5, 0)", xb_type::Text, ""},
      {"STR(5, -3)", xb_type::Text, ""},
      {"STR(1 / 0)", xb_type::Text, "**********"},
      {"STR(1E300, 3)", xb_type::Text, "***"},
      {"STR(0.5, 3, 20)", xb_type::Text, "***"},
      {"STRZERO(-5, 4)", xb_type::Text, "00-5"},
      {"STRZERO(42, 5)", xb_type::Text, "00042"},
      {"STRZERO(3.5, 6, 2)", xb_type::Text, "003.50"},
      {"STRZERO(123456, 3)", xb_type::Text, "***"},
  });
}

TEST_F(ExpBuiltIns, Dates) {
  const std::string today = std::to_string(*TxbDBFDate::FromCalendar(2024, 3, 15));
  ExpectRows({
      {"DATE()", xb_type::Date, today},
      {"CTOD('')", xb_type::Date, "1e+100"},
      {"CTOD('  ')", xb_type::Date, "0"},
      {"CTOD('00000000')", xb_type::Date, "0"},
      {"CTOD('19800101')", xb_type::Date, "2444240"},
      {"CTOD('1/1/1980')", xb_type::Date, "2444240"},
      {"CTOD('20230230')", xb_type::Date, "2415019"},  // eight digits that are no date
      {"DTOS({19800101})", xb_type::Text, "19800101"},
      {"DTOS(CTOD(''))", xb_type::Text, "        "},
      {"DTOS({})", xb_type::Text, "        "},
      {"DTOS(-1)", xb_type::Text, "        "},
      {"DTOS(1E100 * 10)", xb_type::Text, "        "},
      {"DTOC({19800101})", xb_type::Text, "1/1/1980"},
      {"DTOC({19800101}, 1)", xb_type::Text, "19800101"},
      {"DTOC({19800101}, 2)", xb_type::Text, "1/1/1980"},
      {"DTOC({19800101}, '1')", xb_type::Text, "1/1/1980"},
      {"DTOC({20241231})", xb_type::Text, "12/31/2024"},
      {"DOW({19800101})", xb_type::Number, "3"},  // a Tuesday
      {"DOW({20240317})", xb_type::Number, "1"},  // a Sunday
      {"DOW({})", xb_type::Number, "0"},
      {"DOW(CTOD(''))", xb_type::Number, "0"},
      {"DOW(-5)", xb_type::Number, "0"},
      {"DOW(2147483647)", xb_type::Number, "3"},  // the last 32-bit day, a Tuesday
  });
}

TEST_F(ExpBuiltIns, EmptyDateDisplaysAsBlanksOfTheFormat) {
  machine_.systemInfo().shortDateFormat = "dd.MM.yyyy";
  ExpectRows({
      {"DTOC({})", xb_type::Text, std::string(10, ' ')},
      {"DTOC(CTOD(''), 1)", xb_type::Text, std::string(10, ' ')},
      {"DTOC({19800105})", xb_type::Text, "05.01.1980"},
      {"CTOD('05.01.1980')", xb_type::Date, "2444244"},
  });
}

TEST_F(ExpBuiltIns, ValReadsTheSystemDecimalSeparator) {
  machine_.systemInfo().decimalSeparator = ',';
  ExpectRows({
      {"VAL('12,5')", xb_type::Number, "12.5"},
      {"VAL('12.5')", xb_type::Number, "0"},
  });
}

TEST_F(ExpBuiltIns, AnyTypeFunctions) {
  ExpectRows({
      {"BETWEEN(5, 1, 10)", xb_type::Boolean, ".T."},
      {"BETWEEN(1, 1, 10)", xb_type::Boolean, ".T."},
      {"BETWEEN(10, 1, 10)", xb_type::Boolean, ".T."},
      {"BETWEEN(11, 1, 10)", xb_type::Boolean, ".F."},
      {"BETWEEN('b', 'a', 'c')", xb_type::Boolean, ".T."},
      {"BETWEEN('d', 'a', 'c')", xb_type::Boolean, ".F."},
      {"BETWEEN({19800102}, {19800101}, {19800103})", xb_type::Boolean, ".T."},
      {"BETWEEN(CTOD(''), {}, {19800101})", xb_type::Boolean, ".T."},
      {"BETWEEN(.T., .F., .T.)", xb_type::Boolean, ".T."},
      {"DESCEND(5)", xb_type::Number, "-5"},
      {"DESCEND(0)", xb_type::Number, "0"},
      {"DESCEND({19800101})", xb_type::Date, "2787568"},
      {"DESCEND(CTOD(''))", xb_type::Date, "1e+100"},
      {"DESCEND({})", xb_type::Date, "0"},
      {"DESCEND('')", xb_type::Text, ""},
      {"DESCEND('AB')", xb_type::Text, "\xbf\xbe"},
      {"DESCEND(CHR(0))", xb_type::Text, std::string(1, '\0')},
      {"DESCEND(DESCEND('xyz'))", xb_type::Text, "xyz"},
      {"DESCEND(.T.)", xb_type::Boolean, ".F."},
      {"DESCEND(1) > DESCEND(2)", xb_type::Boolean, ".T."},
      {"DESCEND({20000101}) < DESCEND({19990101})", xb_type::Boolean, ".T."},
      {"DESCEND('A') > DESCEND('B')", xb_type::Boolean, ".T."},
      {"EMPTY(CTOD(''))", xb_type::Boolean, ".T."},
      {"EMPTY({})", xb_type::Boolean, ".T."},
      {"EMPTY({19800101})", xb_type::Boolean, ".F."},
      {"EMPTY(0)", xb_type::Boolean, ".T."},
      {"EMPTY(0.1)", xb_type::Boolean, ".F."},
      {"EMPTY('')", xb_type::Boolean, ".T."},
      {"EMPTY('  ')", xb_type::Boolean, ".F."},
      {"EMPTY(.F.)", xb_type::Boolean, ".T."},
      {"EMPTY(.T.)", xb_type::Boolean, ".F."},
      {"EMPTY(())", xb_type::Boolean, ".F."},
      {"IIF(.T., 'a', 'b')", xb_type::Text, "a"},
      {"IIF(.F., 'a', 1)", xb_type::Number, "1"},
      {"IIF(1 > 2, 'a', 'b')", xb_type::Text, "b"},
      {"IIF(.F., 'a')", xb_type::Undefined, ""},
      {"IIF(.T., , 'b')", xb_type::Undefined, ""},
      {"IIF(.T., 1, .T. + .T.)", xb_type::Number, "1"},  // only the chosen side is evaluated
  });
}

TEST_F(ExpBuiltIns, Soundex) {
  ExpectRows({
      {"SOUNDEX('Robert')", xb_type::Text, "R163"},
      {"SOUNDEX('Tymczak')", xb_type::Text, "T520"},
      {"SOUNDEX('Pfister')", xb_type::Text, "P123"},
      {"SOUNDEX('Ashcraft')", xb_type::Text, "A261"},
      {"SOUNDEX('Lee')", xb_type::Text, "L000"},
      {"SOUNDEX('a')", xb_type::Text, "A000"},
      {"SOUNDEX('')", xb_type::Text, "0000"},
      {"SOUNDEX('Bb')", xb_type::Text, "B100"},

  });
}

TEST_F(ExpBuiltIns, RaisesArgumentAndValueErrors) {
  const ErrorRow rows[] = {
      {"UPPER(5)", "Text needed for Argument 1 of UPPER"},
      {"UPPER(DATE())", "Text needed for Argument 1 of UPPER"},
      {"LEFT(1, 2)", "Text needed for Argument 1 of LEFT"},
      {"IIF(5, 1, 2)", "Boolean needed for Argument 1 of IIF"},
      {"BETWEEN('b', 1, 2)", "Text needed for Argument 2 of BETWEEN"},
      {"BETWEEN((), 1, 2)", "Unknown Value needed for Argument 2 of BETWEEN"},
      {"UPPER()", "Text needed for Argument 1 of UPPER"},
      {"LEFT('abc')", "Number needed for Argument 2 of LEFT"},
      {"DESCEND()", "Unknown Value needed for Argument 1 of DESCEND"},
      {"CHR(256)", "A Byte value is required but invalid"},
      {"CHR(-1)", "A Byte value is required but invalid"},
      {"PADR('ab', 5, 'xy')", "A Char value is required but invalid"},
      {"PADR('ab', 5, '')", "A Char value is required but invalid"},
      {"PADL('ab', 5, 1)", "A Char value is required but invalid"},
      {"PADC('ab', 5, ())", "A Char value is required but invalid"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(MessageOf<EXbaseExpression>(row.expression), row.message) << row.expression;
  }
}

TEST_F(ExpBuiltIns, ConversionAndArithmeticErrorsAreThePlatformsOwn) {
  EXPECT_EQ(MessageOf<platform::EConvertError>("LEFT('abc', 'x')"),
            "'x' is not a valid floating point value");
  EXPECT_EQ(MessageOf<platform::EConvertError>("DTOS('x')"),
            "'x' is not a valid floating point value");
  EXPECT_EQ(MessageOf<platform::EConvertError>("IIF('maybe', 1, 2)"),
            "'maybe' is not a valid boolean value");
  EXPECT_EQ(MessageOf<platform::EConvertError>("CTOD('abc')"), "'abc' is not a valid date");
  EXPECT_EQ(MessageOf<platform::EDivByZero>("MOD(7, 0.5)"), "Division by zero");
  EXPECT_FALSE(MessageOf<platform::ERangeError>("SPACE(1E12)").empty());
  EXPECT_FALSE(MessageOf<platform::ERangeError>("PADL('a', 1E12)").empty());
  // Joined texts obey the same limit as built ones.
  EXPECT_EQ(MessageOf<platform::ERangeError>("SPACE(6E5) + SPACE(6E5)"),
            "A text of 1200000 characters is too long to build");
  EXPECT_EQ(MessageOf<platform::ERangeError>("SPACE(6E5) - SPACE(6E5)"),
            "A text of 1200000 characters is too long to build");
  EXPECT_EQ(MessageOf<platform::ERangeError>("SPACE(2E6)"),
            "A text of 2000000 characters is too long to build");
  // So do all the texts of one evaluation together, each evaluation on its own.
  EXPECT_EQ(MessageOf<platform::ERangeError>("LEN(SPACE(9E5)) + LEN(SPACE(9E5)) + "
                                             "LEN(SPACE(9E5))"),
            "The texts built by one evaluation would pass 2097152 characters");
  TxbExpHandler handler(nullptr, false, "LEN(SPACE(5E5) + SPACE(5E5))");
  EXPECT_EQ(handler.Evaluate().ToNumber(handler.machine()), 1e6);
  EXPECT_EQ(handler.Evaluate().ToNumber(handler.machine()), 1e6);
  EXPECT_EQ(EvaluateText("IIF('true', 1, 2)").value, "1");
  EXPECT_EQ(EvaluateText("LEFT('abc', ' 2 ')").value, "ab");
}

TEST_F(ExpBuiltIns, StrDefaultWidthComesFromTheLink) {
  TxbExpUserLink link;
  link.SetStrDefaultWidth(4);
  EXPECT_EQ(EvaluateText("STR(5)", &link).value, "   5");
  link.SetStrDefaultWidth(0);
  EXPECT_EQ(EvaluateText("STR(5)", &link).value, "         5");
  link.SetStrDefaultWidth(-2);
  EXPECT_EQ(EvaluateText("STR(5)", &link).value, "         5");
}

TEST(ExpGlobalRegistry, HoldsTheBuiltInsInOrderWhileStarted) {
  ExpTestMachine machine;
  platform::ScopedMachine scoped(machine);
  EXPECT_THROW(XbExpGlobalFunctions(), std::logic_error);
  XbExpStartup();
  XbExpStartup();
  const char* names[] = {
      "ALLTRIM", "ASC",     "AT",    "ATC",  "BETWEEN", "CEILING", "CHR",  "CTOD",   "DATE",
      "DESCEND", "DOW",     "DTOC",  "DTOS", "EMPTY",   "FLOOR",   "IIF",  "INT",    "LEFT",
      "LEN",     "LOWER",   "LTRIM", "MOD",  "PADC",    "PADL",    "PADR", "PROPER", "RIGHT",
      "RTRIM",   "SOUNDEX", "SPACE", "STR",  "STRZERO", "SUBSTR",  "TRIM", "UPPER",  "VAL"};
  const TxbFunctionReg& builtIns = XbExpGlobalFunctions();
  ASSERT_EQ(builtIns.Count(), std::size(names));
  for (std::size_t i = 0; i < std::size(names); ++i)
    EXPECT_EQ(builtIns.At(i).Name(), names[i]);
  XbExpShutdown();
  EXPECT_TRUE(XbExpStarted());  // only the last shutdown frees it
  XbExpShutdown();
  EXPECT_FALSE(XbExpStarted());
  XbExpShutdown();  // one too many does nothing
  EXPECT_FALSE(XbExpStarted());
}

TEST(ExpGlobalRegistry, RTrimAndStrZeroDeriveFromTheirRelatives) {
  TxbUDFRTrim rtrim;
  TxbUDFStrZero strZero;
  TxbUDFPadC padC;
  EXPECT_NE(dynamic_cast<TxbUDFTrim*>(&rtrim), nullptr);
  EXPECT_NE(dynamic_cast<TxbUDFStr*>(&strZero), nullptr);
  EXPECT_NE(dynamic_cast<TxbUDFPadMain*>(&padC), nullptr);
  EXPECT_EQ(rtrim.Name(), "RTRIM");
}

}  // namespace
}  // namespace tables::testing
