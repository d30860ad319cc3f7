#include "platform/sim/host_text_file.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "platform/exception.hpp"
#include "tests/platform/temp_folder.hpp"

namespace platform::sim {
namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "no error";
}

TEST(HostTextFile, ReplacingPutsTheWholeNewTextInPlaceAndLeavesNoTemporary) {
  testing::TempFolder folder;
  const std::filesystem::path file = folder.path() / "machine.ini";
  WriteHostText(file, std::string(5000, 'o'));
  WriteHostTextReplacing(file, "new\r\ntext");
  EXPECT_EQ(ReadHostText(file), "new\r\ntext");
  EXPECT_FALSE(std::filesystem::exists(file.string() + ".new"));
  const std::string binary("a\0b\r\n", 5);
  WriteHostTextReplacing(file, binary);
  EXPECT_EQ(ReadHostText(file), binary);
}

TEST(HostTextFile, FailuresNameTheFile) {
  testing::TempFolder folder;
  const std::filesystem::path missing = folder.path() / "none" / "processes.ini";
  EXPECT_EQ(ErrorOf([&] { ReadHostText(missing); }), "Cannot read " + missing.string());
  EXPECT_EQ(ErrorOf([&] { WriteHostText(missing, "x"); }), "Cannot write " + missing.string());
  EXPECT_EQ(ErrorOf([&] { WriteHostTextReplacing(missing, "x"); }),
            "Cannot write " + missing.string() + ".new");
  const std::filesystem::path folderInTheWay = folder.path() / "registry";
  std::filesystem::create_directories(folderInTheWay / "HKEY_USERS.reg");
  EXPECT_EQ(ErrorOf([&] {
              WriteHostTextReplacing(folderInTheWay, "x");
            }).rfind("Cannot replace " + folderInTheWay.string() + ": ", 0),
            0u);
}

}  // namespace
}  // namespace platform::sim
