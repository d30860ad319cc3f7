// Two programs sharing one table with a memo file, with and without a compound index open,
// under the Default lock protocol: each appends records with memos and changes the records it
// wrote, for a while, at the same time as the other. Afterwards every record each wrote is
// there with its content, the index verifies, and nothing of the other's work is lost.
//
// The workers are this test program run again (as the worker test below), so they share
// nothing with each other but the host's files and locks. KORVANE_SHARING_SECONDS makes the
// run longer by hand (the default keeps the suite quick).
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
#include "tables/index/cdx_file.hpp"
#include "tables/index/cdx_verifier.hpp"
#include "tables/index/exp_global_registry.hpp"
#include "tables/storage/create_table.hpp"
#include "tables/storage/engine.hpp"
#include "tests/platform/temp_folder.hpp"
#include "tests/tables/handler/sharing_workers.hpp"

namespace tables::testing {
namespace {

constexpr const char* kWorkerVariable = "KORVANE_SHARING_WORKER";
constexpr const char* kWorkerTest = "SharingWorker.AppendsAndChangesItsOwnRecords";

std::string NoteOf(int worker, int n) {
  return "note of " + WorkerRecordName(worker, n) +
         std::string(static_cast<std::size_t>(n % 700), '.');
}

// The value a record's NUM holds once its writer changed it.
double ChangedNumber(int n) {
  return n + 0.5;
}

// Starts this program as a worker; its process id.
pid_t StartWorker(const std::string& table, int worker, bool withIndex) {
  return StartSharingWorker(kWorkerVariable, kWorkerTest,
                            table + "|" + std::to_string(worker) + "|" +
                                std::to_string(SharingRunSeconds()) + "|" +
                                (withIndex ? "1" : "0"));
}

struct WorkerRecord {
  double number = 0;
  std::string note;
};

class TwoProcessSharing : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    table_ = (folder_.path() / "SHARED.DBF").string();
    CreateTable(machine_, table_, 0xF5, {{"NAME", 'C', 12}, {"NUM", 'N', 10, 2}, {"NOTE", 'M', 10}},
                "");
    if (GetParam()) {
      XBO_dBHandler builder(machine_, table_, false, true, "");
      builder.CreateIndexTag("", "NAME", "NAME", "", true, 0);
      builder.CreateIndexTag("", "NUM", "NUM", "", true, 0);
    }
  }

  // What each worker's records hold, by worker and ordinal, read back through a handler.
  std::map<int, std::map<int, WorkerRecord>> ReadBack() {
    std::map<int, std::map<int, WorkerRecord>> written;
    XBO_dBHandler table(machine_, table_, false, false, "");
    for (std::int32_t r = 1; r <= table.recordCount(); ++r) {
      table.GoRecord(r);
      int worker = 0, n = 0;
      if (!ReadWorkerRecordName(table, worker, n)) continue;
      EXPECT_EQ(written[worker].count(n), 0u) << WorkerRecordName(worker, n) << " appears twice";
      written[worker][n] = {table.GetFieldNumber("NUM"), table.GetMemoText("NOTE")};
    }
    return written;
  }

  void ExpectIndexClean() {
    XBO_dBaseFld table(machine_, table_, false, false, "");
    XBobjCDXFile index(table, XbProductionIndexPath(table_), "", {false, false, false});
    const XbIndexCheck check = XbVerifyCdx(index);
    for (const XbIndexFault& fault : check.faults)
      ADD_FAILURE() << fault.tag << " page " << fault.page << ": " << fault.description;
    for (const XbTagCheck& tag : check.tags) {
      if (tag.tag != "(directory)") {
        EXPECT_EQ(tag.keys, table.recordCount()) << tag.tag;
      }
    }
  }

  TxbExpEngineScope expressions_;
  platform::NativeMachine machine_;
  XbEngineScope engine_{machine_};
  platform::testing::TempFolder folder_;
  std::string table_;
};

TEST_P(TwoProcessSharing, NeitherLosesTheOthersRecords) {
  const pid_t first = StartWorker(table_, 1, GetParam());
  const pid_t second = StartWorker(table_, 2, GetParam());
  for (const pid_t pid : {first, second}) {
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a worker failed: " << status;
  }
  const auto written = ReadBack();
  ASSERT_EQ(written.size(), 2u);
  for (const auto& [worker, records] : written) {
    ASSERT_FALSE(records.empty());
    // Ordinals run from 1 without a gap: no append of this worker was lost or overwritten.
    EXPECT_EQ(records.rbegin()->first, static_cast<int>(records.size())) << "worker " << worker;
    for (const auto& [n, record] : records) {
      EXPECT_EQ(record.note, NoteOf(worker, n)) << WorkerRecordName(worker, n);
      EXPECT_TRUE(record.number == n || record.number == ChangedNumber(n))
          << WorkerRecordName(worker, n);
    }
  }
  if (GetParam()) ExpectIndexClean();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIndex, TwoProcessSharing, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Indexed" : "Plain"; });

// The worker: appends its records and changes each one it wrote two appends earlier, until its
// time is up. Any error fails it (exit status 1).
TEST(SharingWorker, AppendsAndChangesItsOwnRecords) {
  const char* request = std::getenv(kWorkerVariable);
  if (!request) GTEST_SKIP() << "runs only as a worker process of the sharing tests";
  std::istringstream fields(request);
  std::string path, worker, seconds, withIndex;
  std::getline(fields, path, '|');
  std::getline(fields, worker, '|');
  std::getline(fields, seconds, '|');
  std::getline(fields, withIndex, '|');
  const int id = std::stoi(worker);
  TxbExpEngineScope expressions;
  platform::NativeMachine machine;
  XbEngineScope engine(machine);
  XBO_dBHandler table(machine, path, true, true, "");
  if (withIndex == "1") table.OpenIndexes(XbProductionIndexPath(path), "NAME");
  std::vector<std::int32_t> mine;
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long>(std::stod(seconds) * 1000));
  for (int n = 1; std::chrono::steady_clock::now() < end; ++n) {
    table.BlankRecord();
    table.SetFieldText("NAME", WorkerRecordName(id, n));
    table.SetFieldNumber("NUM", n);
    table.SetMemoText("NOTE", NoteOf(id, n));
    table.AppendRecord();
    mine.push_back(table.position());
    if (n > 2) {
      table.GoRecord(mine[static_cast<std::size_t>(n - 3)]);
      ASSERT_EQ(TrimmedName(table), WorkerRecordName(id, n - 2));
      table.SetFieldNumber("NUM", ChangedNumber(n - 2));
      table.PutRecord(table.position());
    }
  }
  table.Close();
}

}  // namespace
}  // namespace tables::testing
