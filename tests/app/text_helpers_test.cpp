#include <gtest/gtest.h>

#include "app/text_lines.hpp"
#include "app/whole_number.hpp"
#include "platform/exception.hpp"
#include "sim_machine_fixture.hpp"

namespace app_test {
namespace {

TEST(WholeNumber, AcceptsWhatAPortAnswerMayBe) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"80", 80},
      {"  8080 ", 8080},
      {"-1", -1},
      {"+3128", 3128},
      {"0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"80a", std::nullopt},
      {"8 0", std::nullopt},
      {"80.0", std::nullopt},
      {"+-5", std::nullopt},
      {"--5", std::nullopt},
      {"+", std::nullopt},
      {"0x50", std::nullopt},
      {"\t80", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(app::ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(SplitLines, EndsLinesAtCrLfLfAndCr) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(app::SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(app::SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(app::SplitLines("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(app::SplitLines("\r\r\n"), (Lines{"", ""}));
  EXPECT_EQ(app::SplitLines(""), Lines{});
}

class LoadTextLinesTest : public SimMachineTest {};

TEST_F(LoadTextLinesTest, ReadsAMachineFileAndNamesOneThatCannotBeOpened) {
  MakeMachine("win98", false);
  WriteFile("C:\\prefs.js", "one\r\ntwo");
  EXPECT_EQ(app::LoadTextLines("c:\\PREFS.JS"), (std::vector<std::string>{"one", "two"}));
  try {
    app::LoadTextLines("C:\\missing.js");
    ADD_FAILURE() << "no exception";
  } catch (const platform::Exception& error) {
    EXPECT_STREQ(error.what(), "Cannot open file \"C:\\missing.js\"");
  }
}

}  // namespace
}  // namespace app_test
