// Encrypted tables through the tool: the product key opens what it wrote, no key and wrong
// keys are refused with the engine's messages, and a wrong key whose decoded field lengths
// happen to add up is noticed by nothing, as the format has it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using nlohmann::json;
using testing::Outcome;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

constexpr const char* kProductKey = "q3#Lm9!";

class EncryptedTable : public ::testing::Test {
 protected:
  // Three fields: their length bytes lie at descriptor-area positions 16, 48 and 80, which use
  // key positions 2, 6 and 3 (position mod 7), and the C field's high length byte at 17 uses
  // key position 3. Keys that differ from the right one only at positions 0, 1, 4 and 5 decode
  // every length right.
  void SetUp() override {
    XbtoolOk({"create", table, "--version", "0xF5", "--field", "USERNAME,C,20", "--field",
              "AGE,N,3", "--field", "NOTE,M", "--key", kProductKey});
    XbtoolOk(
        {"append", table, "USERNAME=PARENT", "AGE=42", "NOTE=secret text", "--key", kProductKey});
  }

  TempFolder folder;
  std::string table = (folder.path() / "KVUS.DAT").string();
};

TEST_F(EncryptedTable, OpensWithItsKey) {
  const json records = json::parse(XbtoolOk({"export", table, "--json", "--key", kProductKey}));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]["USERNAME"], "PARENT");
  EXPECT_EQ(records[0]["AGE"], 42);
  EXPECT_EQ(records[0]["NOTE"], "secret text");
  EXPECT_NE(XbtoolOk({"info", table, "--key", kProductKey}).find("Encrypted      yes"),
            std::string::npos);
}

TEST_F(EncryptedTable, WithoutTheKeyEveryVerbRefusesIt) {
  for (const std::vector<std::string>& arguments : {std::vector<std::string>{"info", table},
                                                    {"dump", table},
                                                    {"export", table, "--csv"},
                                                    {"append", table, "AGE=1"},
                                                    {"set", table, "1", "AGE=1"},
                                                    {"lock", table, "1"}}) {
    const Outcome outcome = Xbtool(arguments);
    EXPECT_EQ(outcome.code, 2) << arguments[0];
    EXPECT_NE(outcome.err.find("No Password for encrypted file "), std::string::npos)
        << outcome.err;
    EXPECT_NE(outcome.err.find("KVUS.DAT"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("give its key with --key"), std::string::npos);
  }
}

TEST_F(EncryptedTable, AWrongKeyFailsWhenTheLengthsDoNotAddUp) {
  for (const char* wrong : {"q3#Lm9?", "q3$Lm9!", "q3#Nm9!", "wrong", "q3#Lm9!q3#Lm9!x"}) {
    const Outcome outcome = Xbtool({"dump", table, "--key", wrong});
    EXPECT_EQ(outcome.code, 2) << wrong;
    EXPECT_NE(outcome.err.find("Invalid Password for encrypted file s%"), std::string::npos)
        << wrong << ": " << outcome.err;
  }
}

TEST_F(EncryptedTable, AWrongKeyWhoseLengthsAddUpGoesUnnoticed) {
  // The field lengths decode right, so the table opens; the names decode wrong.
  const Outcome info = Xbtool({"info", table, "--raw", "--key", "qX#Lm#!"});
  EXPECT_EQ(info.code, 0) << info.err;
  EXPECT_NE(info.out.find("Records        1\n"), std::string::npos) << info.out;
  EXPECT_EQ(info.out.find("USERNAME"), std::string::npos) << info.out;

  // A table of one text field reads with such a key, and what it reads is not what was written.
  const std::string names = (folder.path() / "NAMES.DAT").string();
  XbtoolOk({"create", names, "--version", "0x03", "--field", "NAME,C,12", "--key", kProductKey});
  XbtoolOk({"append", names, "NAME=PARENT GUEST", "--key", kProductKey});
  const Outcome wrong = Xbtool({"export", names, "--csv", "--raw", "--key", "qX#Lm9!"});
  EXPECT_EQ(wrong.code, 0) << wrong.err;
  EXPECT_EQ(wrong.out.find("PARENT GUEST"), std::string::npos) << wrong.out;
  EXPECT_NE(XbtoolOk({"export", names, "--csv", "--key", kProductKey}).find(",PARENT GUEST\r\n"),
            std::string::npos);
}

TEST_F(EncryptedTable, AKeyForAPlainTableIsRefused) {
  const std::string plain = (folder.path() / "PLAIN.DBF").string();
  XbtoolOk({"create", plain, "--version", "0x03", "--field", "A,C,1"});
  const Outcome outcome = Xbtool({"info", plain, "--key", kProductKey});
  EXPECT_EQ(outcome.code, 2);
  EXPECT_NE(outcome.err.find("A Password is included for unencrypted file "), std::string::npos)
      << outcome.err;
}

}  // namespace
}  // namespace tools::xbtool
