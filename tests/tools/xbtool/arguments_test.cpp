#include "tools/xbtool/arguments.hpp"

#include <gtest/gtest.h>

namespace tools::xbtool {
namespace {

const std::vector<OptionRule> kOptions = {
    {"--key", true}, {"--field", true, true}, {"--deleted"}, {"--help"}};

TEST(ParseArguments, TakesOptionsAnywhereInBothSpellings) {
  const ParsedArguments parsed = ParseArguments(
      {"--key", "k1", "T.DBF", "--field=A,C,1", "2", "--deleted", "--field", "B,N,3"}, kOptions);
  EXPECT_EQ(parsed.positionals(), (std::vector<std::string>{"T.DBF", "2"}));
  EXPECT_EQ(parsed.Value("--key"), "k1");
  EXPECT_EQ(parsed.Values("--field"), (std::vector<std::string>{"A,C,1", "B,N,3"}));
  EXPECT_TRUE(parsed.Has("--deleted"));
  EXPECT_FALSE(parsed.Has("--help"));
  EXPECT_FALSE(parsed.Value("--help").has_value());
}

TEST(ParseArguments, DoubleDashEndsOptionsAndHStandsForHelp) {
  const ParsedArguments parsed = ParseArguments({"-h", "--", "--deleted", "-x"}, kOptions);
  EXPECT_TRUE(parsed.Has("--help"));
  EXPECT_FALSE(parsed.Has("--deleted"));
  EXPECT_EQ(parsed.positionals(), (std::vector<std::string>{"--deleted", "-x"}));
}

TEST(ParseArguments, NegativeNumbersArePositionals) {
  EXPECT_EQ(ParseArguments({"T", "-5"}, kOptions).positionals(),
            (std::vector<std::string>{"T", "-5"}));
}

TEST(ParseArguments, WrongCommandLinesSayWhatIsWrong) {
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"T", "--key"}, "--key needs a value"},
      {{"--deleted=yes"}, "--deleted takes no value"},
      {{"--key", "a", "--key=b"}, "--key is given twice"},
      {{"--deleted", "--deleted"}, "--deleted is given twice"},
  };
  for (const auto& c : cases) {
    try {
      ParseArguments(c.arguments, kOptions);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

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
