#include "platform/native/find_pattern.hpp"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct PatternCase {
  const char* pattern;
  const char* name;
  bool matches;
};

class FindPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FindPatternTest, MatchesAsWindowsDoes) {
  const PatternCase& c = GetParam();
  EXPECT_EQ(MatchesFindPattern(c.pattern, c.name), c.matches)
      << "pattern \"" << c.pattern << "\" name \"" << c.name << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindPatternTest,
    ::testing::Values(
        // Everything.
        PatternCase{"*", "KVUS.DAT", true}, PatternCase{"*.*", "README", true},
        PatternCase{"*.*", "..", true},
        // Letters compare without case.
        PatternCase{"*.dat", "KVUS.DAT", true}, PatternCase{"kv???.DAT", "kv015.dat", true},
        PatternCase{"*.dat", "KVUS.DATX", false}, PatternCase{"*.dat", "KVUS.CDX", false},
        PatternCase{"KV015.dat", "kv015.DAT", true}, PatternCase{"KV015.dat", "kv0150.dat", false},
        // Stars backtrack.
        PatternCase{"a*b*c", "aXbYbZc", true}, PatternCase{"a*b*c", "aXbYbZ", false},
        PatternCase{"*x", "x", true}, PatternCase{"*x*", "abc", false},
        // "?" needs a character, but may stand for none at the end or before a dot.
        PatternCase{"kv0?5.dat", "kv05.dat", false}, PatternCase{"abc?", "abc", true},
        PatternCase{"ab?.txt", "ab.txt", true}, PatternCase{"a?c", "ac", false},
        PatternCase{"?", "", true}, PatternCase{"a??", "abcd", false},
        // A final dot asks for names without an extension.
        PatternCase{"*.", "README", true}, PatternCase{"*.", "SYSTEM", true},
        PatternCase{"*.", "KVUS.DAT", false}, PatternCase{"*.", ".", true},
        PatternCase{"*.", "..", true}, PatternCase{"read*.", "README", true},
        PatternCase{"read*.", "README.TXT", false}, PatternCase{"README.", "readme", true}));

TEST(FindPatternTest, TellsWildcardPatternsFromNames) {
  EXPECT_TRUE(HasWildcards("*.dat"));
  EXPECT_TRUE(HasWildcards("kv0?5.dat"));
  EXPECT_FALSE(HasWildcards("KV015.dat"));
}

}  // namespace
}  // namespace platform
