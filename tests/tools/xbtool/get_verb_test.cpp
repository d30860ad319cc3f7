// xbtool get: one field of one record, and a memo's bytes unchanged with --raw.
#include <gtest/gtest.h>

#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using testing::Outcome;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;

const std::string kBinary = "\xFF\xD8\xFF\xE0\x1A\x80 \r\n\x01 end";

class GetVerb : public ::testing::Test {
 protected:
  void SetUp() override {
    XbtoolOk({"create", table, "--version", "0xF5", "--field", "NAME,C,12", "--field", "OK,L",
              "--field", "NOTE,M", "--key", "k3y"});
    XbtoolOk({"append", table, "NAME=Ann", "OK=T", "NOTE=" + kBinary, "--raw", "--key", "k3y"});
    XbtoolOk({"append", table, "NAME=Bob", "--key", "k3y"});
    XbtoolOk({"delete", table, "2", "--key", "k3y"});
  }

  TempFolder folder;
  std::string table = (folder.path() / "T.DBF").string();
};

TEST_F(GetVerb, RawWritesTheMemoByteForByteWithoutALineBreak) {
  EXPECT_EQ(XbtoolOk({"get", table, "1", "note", "--raw", "--key", "k3y"}), kBinary);
}

TEST_F(GetVerb, WithoutRawTheValueComesConvertedOnALine) {
  // Code page 437 by default: 0x80 is a C with cedilla.
  const std::string note = XbtoolOk({"get", table, "1", "NOTE", "--key", "k3y"});
  EXPECT_NE(note.find("\xC3\x87"), std::string::npos) << note;
  EXPECT_EQ(note.back(), '\n');
  EXPECT_EQ(XbtoolOk({"get", table, "1", "NAME", "--key", "k3y"}), "Ann\n");
  EXPECT_EQ(XbtoolOk({"get", table, "1", "OK", "--key", "k3y"}), "T\n");
  // A deleted record is read too; a record without a memo gives an empty line.
  EXPECT_EQ(XbtoolOk({"get", table, "2", "NAME", "--key", "k3y"}), "Bob\n");
  EXPECT_EQ(XbtoolOk({"get", table, "2", "NOTE", "--key", "k3y", "--raw"}), "");
  EXPECT_EQ(XbtoolOk({"get", table, "2", "NOTE", "--key", "k3y"}), "\n");
}

TEST_F(GetVerb, MistakesAreErrors) {
  const Outcome noKey = Xbtool({"get", table, "1", "NAME"});
  EXPECT_EQ(noKey.code, 2);
  EXPECT_NE(noKey.err.find("give its key with --key"), std::string::npos) << noKey.err;
  const Outcome beyond = Xbtool({"get", table, "3", "NAME", "--key", "k3y"});
  EXPECT_EQ(beyond.code, 2);
  EXPECT_NE(beyond.err.find("beyond EOF"), std::string::npos) << beyond.err;
  const Outcome field = Xbtool({"get", table, "1", "AGE", "--key", "k3y"});
  EXPECT_EQ(field.code, 2);
  EXPECT_NE(field.err.find("field name is invalid"), std::string::npos) << field.err;
  const Outcome missing = Xbtool({"get", table, "1", "--key", "k3y"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.out, "");
}

}  // namespace
}  // namespace tools::xbtool
