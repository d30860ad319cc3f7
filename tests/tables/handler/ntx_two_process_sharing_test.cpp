// Two programs sharing one table with two NTX files open, under Clipper's lock protocol: each
// appends records and changes the key of records it wrote, for a while, at the same time as
// the other. Afterwards every record each wrote is there with its last value, and both index
// files verify with one entry per record.
//
// The workers are this test program run again (as the worker test below), so they share
// nothing but the host's files and locks. KORVANE_SHARING_SECONDS makes the run longer by hand.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/native/native_machine.hpp"
#include "tables/handler/db_handler.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/index/family_verifier.hpp"
#include "tables/index/ntx_file.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"
#include "tests/tables/handler/sharing_workers.hpp"

namespace tables::testing {
namespace {

constexpr const char* kWorkerVariable = "KORVANE_NTX_SHARING_WORKER";
constexpr const char* kWorkerTest = "NtxSharingWorker.AppendsAndChangesItsOwnRecords";

// The value a record's NUM holds once its writer changed it: a key that moves far.
double ChangedNumber(int n) {
  return -n - 0.25;
}

pid_t StartWorker(const std::string& folder, int worker) {
  return StartSharingWorker(
      kWorkerVariable, kWorkerTest,
      folder + "|" + std::to_string(worker) + "|" + std::to_string(SharingRunSeconds()));
}

class NtxTwoProcessSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    table_ = (folder_.path() / "SHARED.DBF").string();
    CreateTable(machine_, table_, 0x03, {{"NAME", 'C', 12}, {"NUM", 'N', 10, 2}}, "");
    XBO_dBHandler builder(machine_, table_, false, true, "");
    builder.CreateIndexTag("NAME.NTX", "NAME", "NAME", "", true, 0);
    builder.CreateIndexTag("NUM.NTX", "NUM", "NUM", "", true, 0);
  }

  std::string File(const std::string& name) const { return (folder_.path() / name).string(); }

  void ExpectIndexClean(const std::string& name, std::int32_t records) {
    XBO_dBaseFld table(machine_, table_, false, false, "");
    XBobjNTXFile index(table, File(name), "", {false, false, false});
    const XbIndexCheck check = XbVerifyIndexFamily(index);
    for (const XbIndexFault& fault : check.faults)
      ADD_FAILURE() << name << " page " << fault.page << ": " << fault.description;
    ASSERT_EQ(check.tags.size(), 1u);
    EXPECT_EQ(check.tags[0].keys, records) << name;
  }

  TxbExpEngineScope expressions_;
  platform::NativeMachine machine_;
  XbEngineScope engine_{machine_};
  platform::testing::TempFolder folder_;
  std::string table_;
};

TEST_F(NtxTwoProcessSharing, NeitherLosesTheOthersRecordsOrEntries) {
  const pid_t first = StartWorker(folder_.path().string(), 1);
  const pid_t second = StartWorker(folder_.path().string(), 2);
  for (const pid_t pid : {first, second}) {
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a worker failed: " << status;
  }
  std::map<int, std::map<int, double>> written;
  std::int32_t records = 0;
  {
    XBO_dBHandler table(machine_, table_, false, false, "");
    records = table.recordCount();
    for (std::int32_t r = 1; r <= records; ++r) {
      table.GoRecord(r);
      int worker = 0, n = 0;
      ASSERT_TRUE(ReadWorkerRecordName(table, worker, n));
      EXPECT_EQ(written[worker].count(n), 0u) << WorkerRecordName(worker, n) << " appears twice";
      written[worker][n] = table.GetFieldNumber("NUM");
    }
  }
  ASSERT_EQ(written.size(), 2u);
  for (const auto& [worker, mine] : written) {
    ASSERT_FALSE(mine.empty());
    EXPECT_EQ(mine.rbegin()->first, static_cast<int>(mine.size())) << "worker " << worker;
    for (const auto& [n, number] : mine)
      EXPECT_TRUE(number == n || number == ChangedNumber(n)) << WorkerRecordName(worker, n);
  }
  ExpectIndexClean("NAME.NTX", records);
  ExpectIndexClean("NUM.NTX", records);
}

// The worker: appends its records and changes the key of each one it wrote two appends
// earlier, until its time is up; through the NAME order it finds its record first. Any error
// fails it (exit status 1).
TEST(NtxSharingWorker, AppendsAndChangesItsOwnRecords) {
  const char* request = std::getenv(kWorkerVariable);
  if (!request) GTEST_SKIP() << "runs only as a worker process of the NTX sharing test";
  std::istringstream fields(request);
  std::string folder, worker, seconds;
  std::getline(fields, folder, '|');
  std::getline(fields, worker, '|');
  std::getline(fields, seconds, '|');
  const int id = std::stoi(worker);
  TxbExpEngineScope expressions;
  platform::NativeMachine machine;
  XbEngineScope engine(machine);
  XBO_dBHandler table(machine, folder + "/SHARED.DBF", true, true, "");
  table.SetLockProtocol(TxbLokProtocol::ClipLock);
  table.OpenIndexes("NAME.NTX;NUM.NTX", "NAME");
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long>(std::stod(seconds) * 1000));
  for (int n = 1; std::chrono::steady_clock::now() < end; ++n) {
    table.BlankRecord();
    table.SetFieldText("NAME", WorkerRecordName(id, n));
    table.SetFieldNumber("NUM", n);
    table.AppendRecord();
    if (n > 2) {
      ASSERT_TRUE(table.Seek(WorkerRecordName(id, n - 2))) << WorkerRecordName(id, n - 2);
      table.SetFieldNumber("NUM", ChangedNumber(n - 2));
      table.PutRecord(table.position());
    }
  }
  table.Close();
}

}  // namespace
}  // namespace tables::testing
