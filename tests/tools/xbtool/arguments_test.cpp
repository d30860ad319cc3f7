#include "tools/xbtool/arguments.hpp"

#include <gtest/gtest.h>

namespace tools::xbtool {
namespace {

TEST(ParseWholeNumber, ChecksSyntaxAndRange) {
  EXPECT_EQ(ParseWholeNumber("42", "RECNO", 1, 100), 42);
  EXPECT_EQ(ParseWholeNumber("-3", "N", -5, 5), -3);
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"", "RECNO must be a whole number, not \"\""},
      {"4x", "RECNO must be a whole number, not \"4x\""},
      {"1.5", "RECNO must be a whole number, not \"1.5\""},
      {"0", "RECNO must be from 1 to 100, not 0"},
      {"101", "RECNO must be from 1 to 100, not 101"},
      {"99999999999999999999", "RECNO must be a whole number, not \"99999999999999999999\""},
  };
  for (const auto& c : cases) {
    try {
      ParseWholeNumber(c.text, "RECNO", 1, 100);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace tools::xbtool
