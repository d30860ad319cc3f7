#include "tables/storage/xbase_error.hpp"

#include <gtest/gtest.h>

#include "tables/storage/disk_file.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables {
namespace {

TEST(XbErrorMessage, ComposesTheMessagesOfTheErrorRoutine) {
  struct Case {
    int code, subcode;
    const char* text;
    const char* message;
  } cases[] = {
      {2, 1107, "C:\\DATA\\X.DAT", "File not found - C:\\DATA\\X.DAT"},
      {5, 1102, "", "File access denied - "},
      {2112, -7, "A.CDX", "Xbase Error 2112.\r A.CDX>-7"},
      {4000, 1101, "", "Xbase Error 4000, SubCode 1101.\r"},
      {4000, 1101, "T.DBF", "Xbase Error 4000, SubCode 1101.\r T.DBF>1101"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XbErrorMessage(c.code, c.subcode, c.text), c.message) << c.code;
  }
}

TEST(ReportError, RaisesTheEngineErrorWithCodeAndSubcode) {
  try {
    ReportError(1001, 1204, "T.DBF");
    FAIL() << "no exception";
  } catch (const EXbaseError& error) {
    EXPECT_STREQ(error.what(), "dBase DBF file header invalid - T.DBF");
    EXPECT_EQ(error.code(), 1001);
    EXPECT_EQ(error.subcode(), 1204);
  }
}

TEST(ReportError, NegativeSubcodesOtherThanOwnTextRaiseRunTimeErrors) {
  try {
    ReportError(5, -3, "ignored");
    FAIL() << "no exception";
  } catch (const platform::ERuntimeError& error) {
    EXPECT_EQ(error.code(), 5);
    EXPECT_STREQ(error.what(), "Runtime error 5");
  }
  EXPECT_THROW(ReportError(5, xb_sub::OwnText, "x"), EXbaseError);
}

TEST(XbKeyErrorMessage, FillsInTheFileNameExceptInTheStoredTypo) {
  EXPECT_EQ(XbKeyErrorMessage(1270, "C:\\KVUS.DAT"), "No Password for encrypted file C:\\KVUS.DAT");
  EXPECT_EQ(XbKeyErrorMessage(1269, "A.DBF"), "A Password is included for unencrypted file A.DBF");
  EXPECT_EQ(XbKeyErrorMessage(1271, "A.DBF"), "Invalid Password for encrypted file s%");
}

TEST(ReportError, AFailedOpenOfAMissingFileNamesTheFile) {
  testing::StorageTestMachine machine;
  XBO_DiskFile file;
  try {
    file.Open("C:\\DATA\\X.DAT", true, false);
    FAIL() << "no exception";
  } catch (const EXbaseError& error) {
    EXPECT_STREQ(error.what(), "File not found - C:\\DATA\\X.DAT");
    EXPECT_EQ(error.subcode(), xb_sub::Open);
  }
  EXPECT_FALSE(file.isOpen());
}

}  // namespace
}  // namespace tables
