#include "tools/setup/answer_file.hpp"

#include <gtest/gtest.h>

#include "platform/exception.hpp"

namespace app_test {
namespace {

using setup_tool::AnswerFile;

TEST(AnswerFile, ReadsEveryKnownQuestion) {
  AnswerFile file = AnswerFile::Parse(
      "; an unattended upgrade\r\n"
      "[Setup]\r\n"
      "License = accept\r\n"
      "\r\n"
      "[proxy]\r\n"
      "useproxy=YES\r\n"
      "Host=  10.0.0.1  \r\n"
      "Port=<cancel>\r\n"
      "# comment\n"
      "[Upgrade]\n"
      "ImportSites=no\n"
      "[Finish]\n"
      "StartNow=yes",
      "answers.ini");
  EXPECT_EQ(file.Find("Setup", "License"), "accept");
  EXPECT_EQ(file.Find("Proxy", "UseProxy"), "YES");
  EXPECT_EQ(file.Find("PROXY", "host"), "10.0.0.1");
  EXPECT_EQ(file.Find("Proxy", "Port"), "<cancel>");
  EXPECT_EQ(file.Find("Upgrade", "ImportSites"), "no");
  EXPECT_EQ(file.Find("Finish", "StartNow"), "yes");
  EXPECT_EQ(file.Source(), "answers.ini");
}

TEST(AnswerFile, CommentsAfterValuesAreNotPartOfThem) {
  AnswerFile file = AnswerFile::Parse(
      "[Setup]\nLicense=accept        ; accept | decline\n"
      "[Proxy]\nUseProxy=yes\t; yes | no\nHost=10.0.0.1;not a comment\nPort=8080 ;\n",
      "a.ini");
  EXPECT_EQ(file.Find("Setup", "License"), "accept");
  EXPECT_EQ(file.Find("Proxy", "UseProxy"), "yes");
  EXPECT_EQ(file.Find("Proxy", "Host"), "10.0.0.1;not a comment");
  EXPECT_EQ(file.Find("Proxy", "Port"), "8080");
}

TEST(AnswerFile, AbsentKeysAreNotAnswered) {
  AnswerFile file = AnswerFile::Parse("[Setup]\nLicense=decline\n", "a.ini");
  EXPECT_FALSE(file.Find("Proxy", "UseProxy").has_value());
  EXPECT_FALSE(AnswerFile::Parse("", "empty.ini").Find("Setup", "License").has_value());
}

TEST(AnswerFile, MistakesAreReportedWithTheirLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"[Accounts]\n", "Answer file a.ini, line 1: unknown section [Accounts]"},
      {"[Proxy]\nUser=x\n", "Answer file a.ini, line 2: unknown key User in [Proxy]"},
      {"[Setup]\nUseProxy=yes\n", "Answer file a.ini, line 2: unknown key UseProxy in [Setup]"},
      {"License=accept\n", "Answer file a.ini, line 1: key outside a section"},
      {"[Setup]\nLicense\n", "Answer file a.ini, line 2: \"License\" is not key=value"},
      {"[Setup\n", "Answer file a.ini, line 1: \"[Setup\" is not a section header"},
      {"[Setup]\nLicense=yes\n",
       "Answer file a.ini, line 2: License must be accept or decline, not \"yes\""},
      {"[Proxy]\nUseProxy=maybe\n",
       "Answer file a.ini, line 2: UseProxy must be yes or no, not \"maybe\""},
      {"[Proxy]\nPort=eighty\n",
       "Answer file a.ini, line 2: Port must be a whole number or <cancel>, not \"eighty\""},
      {"[Proxy]\nPort=\n",
       "Answer file a.ini, line 2: Port must be a whole number or <cancel>, "
       "not \"\""},
      {"[Finish]\nStartNow=yes\n[finish]\nstartnow=no\n",
       "Answer file a.ini, line 4: StartNow in [Finish] is given twice"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      AnswerFile::Parse(c.text, "a.ini");
      ADD_FAILURE() << "no exception";
    } catch (const platform::Exception& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(AnswerFile, SectionsAddedLaterComeWithTheirKeys) {
  constexpr setup_tool::AnswerKey kKeys[] = {
      {"Accounts", "ParentPassword", setup_tool::AnswerKind::Text},
  };
  AnswerFile file = AnswerFile::Parse("[Accounts]\nParentPassword=secret\n", "a.ini", kKeys);
  EXPECT_EQ(file.Find("Accounts", "ParentPassword"), "secret");
  EXPECT_THROW(AnswerFile::Parse("[Setup]\nLicense=accept\n", "a.ini", kKeys), platform::Exception);
}

TEST(AnswerFile, AMissingFileIsNamed) {
  try {
    AnswerFile::Load("/nonexistent/answers.ini");
    ADD_FAILURE() << "no exception";
  } catch (const platform::Exception& error) {
    EXPECT_STREQ(error.what(), "Cannot read the answer file /nonexistent/answers.ini");
  }
}

}  // namespace
}  // namespace app_test
