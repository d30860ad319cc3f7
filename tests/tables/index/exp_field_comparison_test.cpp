// Comparisons of a number field with a literal are decided on the field's stored digits; every
// decision must be the one the general evaluation makes, on any text the field may hold.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "exp_eval_support.hpp"
#include "exp_fake_table.hpp"
#include "exp_test_machine.hpp"
#include "tables/index/exp_table_link.hpp"

namespace tables::testing {
namespace {

// Texts a field of width and decimals may hold: numbers as the field writes them, and some
// that it never writes.
std::string FieldText(std::mt19937_64& draws, int width, int decimals) {
  static const char* const kOddTexts[] = {"", "-", " .5", "1e2", "--1", "+7", "12-", "\t1"};
  if (draws() % 8 == 0) return kOddTexts[draws() % std::size(kOddTexts)];
  const int places = width - (decimals > 0 ? 1 : 0);
  std::string text;
  if (draws() % 3 == 0) text += '-';
  const int whole = 1 + static_cast<int>(draws() % static_cast<unsigned>(places - decimals));
  for (int i = 0; i < whole && static_cast<int>(text.size()) < width - decimals - 1; ++i)
    text += static_cast<char>('0' + draws() % 10);
  if (text == "-" || text.empty()) text += '0';
  if (decimals > 0) {
    text += '.';
    for (int i = 0; i < decimals; ++i)
      text += static_cast<char>('0' + draws() % 10);
  }
  return text;
}

class ExpFieldComparison : public ExpTest {};

TEST_F(ExpFieldComparison, DecidesAsTheGeneralEvaluationOnEveryText) {
  FakeTable table({{"NUM", 'N', 10, 2}, {"WHOLE", 'N', 5}, {"WIDE", 'F', 16, 3}});
  std::mt19937_64 draws(3);
  for (int i = 0; i < 3000; ++i) {
    table.Append({FieldText(draws, 10, 2), FieldText(draws, 5, 0), FieldText(draws, 16, 3)});
  }
  TxbDBFExpUserLink& link = XbTableLink(table);
  const char* const fields[] = {"NUM", "WHOLE", "WIDE"};
  const char* const literals[] = {"500",         "0",     "12.345", "0.1",     "-0",
                                  "99999999999", "1.005", "7",      "123.455", "1e3"};
  const char* const operators[] = {"=", "#", "<>", ">", "<", ">=", "<="};
  for (const char* field : fields) {
    for (const char* literal : literals) {
      for (const char* op : operators) {
        for (const bool fieldFirst : {true, false}) {
          const std::string side = std::string(field);
          const std::string shortPath = fieldFirst ? side + op + literal : literal + (op + side);
          // Adding 0 keeps the value and takes the comparison off the short path.
          const std::string general =
              fieldFirst ? side + "+0" + op + literal : literal + (op + side) + "+0";
          TxbExpHandler decided(&link, false, shortPath), reference(&link, false, general);
          for (int record = 1; record <= 3000; ++record) {
            table.GoTo(record);
            const bool expected = reference.Evaluate().boolean();
            ASSERT_EQ(decided.Evaluate().boolean(), expected)
                << shortPath << " on record " << record;
            ASSERT_EQ(decided.ResultType(), xb_type::Boolean);
          }
        }
      }
    }
  }
}

TEST_F(ExpFieldComparison, ReadsNoNumberForTextTheFieldWrites) {
  FakeTable table({{"NUM", 'N', 10, 2}});
  table.Append({"512.50"});
  table.Append({"-3.00"});
  table.Append({"  12.5"});  // not laid out as the field writes: read as a number
  TxbDBFExpUserLink& link = XbTableLink(table);
  TxbExpHandler handler(&link, false, "NUM > 500");
  EXPECT_TRUE(handler.Evaluate().boolean());
  const int afterFirst = table.numberReads;
  table.GoTo(2);
  EXPECT_FALSE(handler.Evaluate().boolean());
  EXPECT_EQ(table.numberReads, afterFirst);
  table.GoTo(3);
  EXPECT_FALSE(handler.Evaluate().boolean());
  EXPECT_EQ(table.numberReads, afterFirst + 1);
}

}  // namespace
}  // namespace tables::testing
