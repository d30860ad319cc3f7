// xbtool lock against locks held by another process, at the offsets each lock protocol gives
// record locks (computed here from the protocols' table, not by the engine).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "platform/native/native_file_system.hpp"
#include "platform/sim/machine_profiles.hpp"
#include "tests/tools/xbtool/xbtool_test_support.hpp"

namespace tools::xbtool {
namespace {

using testing::ChildProgram;
using testing::Outcome;
using testing::RunProgram;
using testing::TempFolder;
using testing::Xbtool;
using testing::XbtoolOk;
using testing::XbtoolProgram;

// Header length 32 + 2 x 32 + 1 = 97, record length 1 + 10 + 5 = 16.
constexpr std::uint64_t kHeaderLength = 97;
constexpr std::uint64_t kRecordLength = 16;

class LockedTable : public ::testing::Test {
 protected:
  void SetUp() override {
    XbtoolOk({"create", table, "--version", "0x03", "--field", "NAME,C,10", "--field", "N,N,5"});
    for (int i = 0; i < 5; ++i)
      XbtoolOk({"append", table, "NAME=row"});
  }

  // A handle of this process on the table, for holding byte ranges.
  std::unique_ptr<platform::File> OpenHandle() {
    std::unique_ptr<platform::File> file;
    EXPECT_EQ(files.Open(table, platform::file_access::GenericRead, platform::file_share::ReadWrite,
                         platform::Disposition::OpenExisting, file),
              platform::win_error::Success);
    return file;
  }

  // Runs the xbtool program (another process); returns its output, sets its status.
  std::string LockProgram(std::vector<std::string> arguments, int& status) {
    arguments.insert(arguments.begin(), {XbtoolProgram(), "lock", table});
    return RunProgram(arguments, status);
  }

  TempFolder folder;
  std::string table = (folder.path() / "T.DBF").string();
  platform::NativeFileSystem files;
};

TEST_F(LockedTable, EachProtocolLocksWhereItsTableSays) {
  const struct {
    std::vector<std::string> options;
    std::uint64_t offset;
  } cases[] = {
      {{}, 0x40000000 + kHeaderLength + 2 * kRecordLength},
      {{"--protocol", "default"}, 0x40000000 + kHeaderLength + 2 * kRecordLength},
      {{"--indexed"}, 0x7FFFFFFE - 3},
      {{"--protocol", "fox"}, 0x40000000 + kHeaderLength + 2 * kRecordLength},
      {{"--protocol=fox", "--indexed"}, 0x7FFFFFFE - 3},
      {{"--protocol", "db4"}, 0xEFFFFFFE - 3},
      {{"--protocol", "db4", "--indexed"}, 0xEFFFFFFE - 3},
      {{"--protocol", "clip"}, 1000000000 + 3},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"3"};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(::testing::PrintToString(arguments));
    int status = -1;
    {
      auto held = OpenHandle();
      ASSERT_EQ(held->Lock(c.offset, 1), platform::win_error::Success);
      EXPECT_EQ(LockProgram(arguments, status), "busy\n");
      EXPECT_EQ(status, 1);
    }
    auto neighbours = OpenHandle();
    ASSERT_EQ(neighbours->Lock(c.offset - 1, 1), platform::win_error::Success);
    ASSERT_EQ(neighbours->Lock(c.offset + 1, 1), platform::win_error::Success);
    EXPECT_EQ(LockProgram(arguments, status), "locked\n");
    EXPECT_EQ(status, 0);
  }
}

TEST_F(LockedTable, HoldKeepsTheLockUntilTheProgramEnds) {
  const std::uint64_t record4 = 0x40000000 + kHeaderLength + 3 * kRecordLength;
  ChildProgram holder({XbtoolProgram(), "lock", table, "4", "--hold", "600"});
  ASSERT_EQ(holder.ReadLine(), "locked");
  auto handle = OpenHandle();
  EXPECT_EQ(handle->Lock(record4, 1), platform::win_error::LockViolation);
  const Outcome busy = Xbtool({"lock", table, "4"});
  EXPECT_EQ(busy.code, 1);
  EXPECT_EQ(busy.out, "busy\n");
  EXPECT_EQ(Xbtool({"lock", table, "5"}).out, "locked\n");
  const Outcome change = Xbtool({"set", table, "4", "NAME=changed"});
  EXPECT_EQ(change.code, 2);
  EXPECT_NE(change.err.find("Record is locked by another user"), std::string::npos);
  holder.Stop();
  EXPECT_EQ(handle->Lock(record4, 1), platform::win_error::Success);
  EXPECT_EQ(handle->Unlock(record4, 1), platform::win_error::Success);
  EXPECT_EQ(Xbtool({"set", table, "4", "NAME=changed"}).code, 0);
}

TEST(LockHold, LastsInRealTimeOnAMachineWithAVirtualClock) {
  TempFolder folder;
  platform::sim::MakeMachine(folder.path(), "win98");
  const auto ini = folder.path() / "machine.ini";
  std::stringstream text;
  text << std::ifstream(ini, std::ios::binary).rdbuf();
  std::string config = text.str();
  const auto mode = config.find("\nMode=real");
  ASSERT_NE(mode, std::string::npos);
  config.replace(mode, 10, "\nMode=virtual");
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << config;
  const std::string machine = folder.path().string();
  XbtoolOk({"create", "C:\\T.DBF", "--version", "0x03", "--field", "A,C,5", "--machine", machine});
  XbtoolOk({"append", "C:\\T.DBF", "A=x", "--machine", machine});
  ChildProgram holder(
      {XbtoolProgram(), "lock", "C:\\T.DBF", "1", "--hold", "600", "--machine", machine});
  ASSERT_EQ(holder.ReadLine(), "locked");
  EXPECT_EQ(Xbtool({"lock", "C:\\T.DBF", "1", "--machine", machine}).out, "busy\n");
  holder.Stop();
}

TEST_F(LockedTable, WrongOptionsAreUsageErrors) {
  const Outcome protocol = Xbtool({"lock", table, "1", "--protocol", "dbase"});
  EXPECT_EQ(protocol.code, 2);
  EXPECT_NE(protocol.err.find("--protocol must be default, db4, clip or fox, not \"dbase\""),
            std::string::npos);
  const Outcome hold = Xbtool({"lock", table, "1", "--hold", "-1"});
  EXPECT_EQ(hold.code, 2);
  EXPECT_NE(hold.err.find("--hold must be from 0 to"), std::string::npos) << hold.err;
}

}  // namespace
}  // namespace tools::xbtool
