// The command line: verbs as subcommands, their options and positionals, and what is refused.
#include "tools/xbtool/command_line.hpp"

#include <gtest/gtest.h>

namespace tools::xbtool {
namespace {

int RunNothing(VerbContext&) {
  return kExitSuccess;
}

const Verb kPick{"pick",
                 "a verb of the tests",
                 "pick help",
                 {{"FILE"}, {"MORE", false, true}},
                 {{"--field", true, true}, {"--deleted"}, {"--record", true}},
                 RunNothing};
const Verb kMark{"mark", "another verb", "mark help", {{"FILE"}, {"RECNO"}}, {}, RunNothing};
const std::vector<const Verb*> kVerbs = {&kPick, &kMark};
const std::vector<OptionRule> kCommon = {{"--key", true}, {"--raw"}};

CommandLine Parse(const std::vector<std::string>& arguments) {
  return ParseCommandLine(arguments, kVerbs, kCommon);
}

TEST(CommandLine, TakesOptionsAnywhereInBothSpellings) {
  const CommandLine line = Parse({"--key", "k1", "pick", "T.DBF", "--field=A,C,1", "2", "--deleted",
                                  "--field", "B,N,3", "--raw"});
  EXPECT_EQ(line.verb, &kPick);
  EXPECT_FALSE(line.help);
  EXPECT_EQ(line.arguments.positionals(), (std::vector<std::string>{"T.DBF", "2"}));
  EXPECT_EQ(line.arguments.Value("--key"), "k1");
  EXPECT_EQ(line.arguments.Values("--field"), (std::vector<std::string>{"A,C,1", "B,N,3"}));
  EXPECT_TRUE(line.arguments.Has("--deleted"));
  EXPECT_TRUE(line.arguments.Has("--raw"));
  EXPECT_FALSE(line.arguments.Has("--record"));
  EXPECT_FALSE(line.arguments.Value("--record").has_value());
}

TEST(CommandLine, PositionalsThatLookLikeOptionsOrVerbs) {
  EXPECT_EQ(Parse({"pick", "--", "--deleted", "-x"}).arguments.positionals(),
            (std::vector<std::string>{"--deleted", "-x"}));
  EXPECT_EQ(Parse({"mark", "T", "-5"}).arguments.positionals(),
            (std::vector<std::string>{"T", "-5"}));
  const CommandLine verbNames = Parse({"mark", "pick", "mark", "--key", "mark"});
  EXPECT_EQ(verbNames.verb, &kMark);
  EXPECT_EQ(verbNames.arguments.positionals(), (std::vector<std::string>{"pick", "mark"}));
  EXPECT_EQ(verbNames.arguments.Value("--key"), "mark");
  EXPECT_EQ(Parse({"pick", "T", "--key", ""}).arguments.Value("--key"), "");
}

TEST(CommandLine, HelpOfTheToolAndOfOneVerb) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"mark", "-h"},
                                                    {"mark", "T", "--help"},
                                                    {"help", "mark"},
                                                    {"--help", "mark"}}) {
    const CommandLine line = Parse(arguments);
    EXPECT_TRUE(line.help) << arguments[0];
    EXPECT_EQ(line.verb, &kMark) << arguments[0];
  }
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--help"}, {"-h"}, {"help"}}) {
    const CommandLine line = Parse(arguments);
    EXPECT_TRUE(line.help);
    EXPECT_EQ(line.verb, nullptr);
  }
  const CommandLine nothing = Parse({});
  EXPECT_FALSE(nothing.help);
  EXPECT_EQ(nothing.verb, nullptr);
}

TEST(CommandLine, WrongCommandLinesSayWhatIsWrongAndForWhichVerb) {
  const struct {
    std::vector<std::string> arguments;
    const Verb* verb;
    const char* message;
  } cases[] = {
      {{"pick", "T", "--bogus"}, &kPick, "unknown option --bogus"},
      {{"pick", "T", "--bogus=1"}, &kPick, "unknown option --bogus"},
      {{"--bogus", "mark", "T", "1"}, &kMark, "unknown option --bogus"},
      {{"pick", "T", "--key"}, &kPick, "--key needs a value"},
      {{"pick", "T", "--key="}, &kPick, "--key needs a value"},
      {{"pick", "T", "--record", "--deleted"}, &kPick, "--record needs a value"},
      {{"pick", "T", "--deleted=yes"}, &kPick, "--deleted takes no value"},
      {{"--key", "a", "pick", "T", "--key=b"}, &kPick, "--key is given twice"},
      {{"pick", "T", "--deleted", "--deleted"}, &kPick, "--deleted is given twice"},
      {{"pick"}, &kPick, "FILE is missing"},
      {{"mark", "T"}, &kMark, "RECNO is missing"},
      {{"mark", "T", "1", "2"}, &kMark, "unexpected argument \"2\""},
      {{"frobnicate", "T"}, nullptr, "unknown verb \"frobnicate\""},
      {{"--raw", "--bogus"}, nullptr, "unknown option --bogus"},
      {{"help", "frobnicate"}, nullptr, "unknown verb \"frobnicate\""},
      {{"help", "mark", "--bogus"}, nullptr, "unknown option --bogus"},
      {{"help", "mark", "pick"}, nullptr, "unexpected argument \"pick\""},
  };
  for (const auto& c : cases) {
    try {
      Parse(c.arguments);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const CommandLineError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
      EXPECT_EQ(error.verb(), c.verb) << c.message;
    }
  }
}

}  // namespace
}  // namespace tools::xbtool
