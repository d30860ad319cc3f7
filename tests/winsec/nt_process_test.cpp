#include "winsec/nt_process.hpp"

#include <gtest/gtest.h>

#include "sim_process_machine.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/opened_process.hpp"

namespace winsec_test {
namespace {

using platform::ProcessId;
using platform::process_access::AllAccess;
using winsec::ENTException;
using winsec::TNTProcess;
using winsec::TNTProcessList;

std::string ExceptionText(TNTProcess& process) {
  try {
    process.Name();
  } catch (const ENTException& error) {
    return error.what();
  }
  return "no exception";
}

TEST(ENTExceptionTest, CarriesTheCodeAndTheSystemText) {
  EXPECT_STREQ(ENTException::Process(5).what(), "Error 5 : Access is denied.");
  EXPECT_EQ(ENTException::Process(5).Code(), 5u);
  EXPECT_STREQ(ENTException::Process(126).what(),
               "Error 126 : The specified module could not be found.");
  EXPECT_STREQ(ENTException::Process(40000).what(), "Error 40000");
}

TEST(TNTProcessListTest, ListsEveryProcessAndNamesThem) {
  SimProcessMachine sim("win2000");
  const ProcessId filter = sim.Start("C:\\WINNT\\SYSTEM32\\QALVINT.EXE", AllAccess);
  TNTProcessList list;
  ASSERT_EQ(list.EnumerationError(), platform::win_error::Success);
  const auto table = sim.machine().simProcesses().Table();
  ASSERT_EQ(list.Count(), static_cast<int>(table.processes.size()));
  TNTProcess process;
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) {
    list.Assign(i, process);
    EXPECT_EQ(process.Id(), table.processes[static_cast<std::size_t>(i)].id);
    if (process.Id() == 0xA4) {  // csrss refuses to be opened
      EXPECT_EQ(ExceptionText(process), "Error 5 : Access is denied.");
      continue;
    }
    names.push_back(process.Name());
  }
  EXPECT_EQ(names[0], "Idle");
  EXPECT_EQ(names[1], "System");
  EXPECT_EQ(names[2], "smss.exe");
  EXPECT_EQ(names.back(), "QALVINT.EXE");
  EXPECT_EQ(list.ProcessId(list.Count() - 1), filter);
}

TEST(TNTProcessListTest, AnIndexOutsideTheListIsARangeError) {
  SimProcessMachine sim("nt4");
  sim.WriteFile("C:\\WINNT\\SYSTEM32\\psapi.dll");
  TNTProcessList list;
  ASSERT_GT(list.Count(), 0);
  TNTProcess process;
  for (int index : {-1, list.Count()}) {
    EXPECT_THROW(list.ProcessId(index), std::out_of_range);
    try {
      list.Assign(index, process);
      ADD_FAILURE() << "index " << index << " accepted";
    } catch (const std::out_of_range& error) {
      EXPECT_STREQ(error.what(), "PID index out of range");
    }
  }
}

TEST(TNTProcessListTest, TheSameIdKeepsWhatWasReadAndAnotherIdDropsIt) {
  SimProcessMachine sim("win2000");
  const ProcessId first = sim.Start("C:\\A\\FIRST.EXE", AllAccess);
  TNTProcessList list;
  TNTProcess process;
  const int last = list.Count() - 1;
  list.Assign(last, process);
  EXPECT_EQ(process.Name(), "FIRST.EXE");
  // The process ends and its entry is gone: a kept name still answers for the same id.
  platform::ProcessHandle handle = 0;
  auto& processes = sim.machine().processes();
  ASSERT_EQ(processes.OpenProcess(first, AllAccess, handle), 0u);
  ASSERT_EQ(processes.Terminate(handle, 0), 0u);
  list.Assign(last, process);
  EXPECT_EQ(process.Name(), "FIRST.EXE");
  list.Assign(0, process);
  EXPECT_EQ(process.Name(), "Idle");
  list.Assign(last, process);
  EXPECT_EQ(ExceptionText(process), "Error 87 : The parameter is incorrect.");
}

TEST(TNTProcessListTest, AFailedEnumerationIsAnEmptyListThatSaysWhy) {
  SimProcessMachine win98("win98");
  TNTProcessList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.EnumerationError(), platform::win_error::NotSupported);
  EXPECT_THROW(list.ProcessId(0), std::out_of_range);
}

TEST(TNTProcessListTest, NtFourUsesTheSetupFoldersPsapiWhenTheSystemFolderHasNone) {
  SimProcessMachine sim("nt4");
  {
    TNTProcessList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.EnumerationError(), platform::win_error::ModNotFound);
  }
  sim.machine().files().MakeFolder("C:\\KVSETUP");
  sim.WriteFile("C:\\KVSETUP\\psapi.dll");
  TNTProcessList list;
  EXPECT_EQ(list.EnumerationError(), platform::win_error::Success);
  EXPECT_EQ(list.Count(), static_cast<int>(sim.machine().simProcesses().Table().processes.size()));
}

TEST(OpenedProcessTest, RefusalsAndTimeOutsAreReported) {
  SimProcessMachine sim("win2000");
  const ProcessId slow = sim.Start("C:\\SLOW.EXE", AllAccess, 3000);
  const ProcessId guarded = sim.Start("C:\\GUARDED.EXE", platform::process_access::Synchronize);
  platform::ErrorCode error = 0;
  EXPECT_FALSE(winsec::OpenedProcess::Open(guarded, AllAccess, error));
  EXPECT_EQ(error, platform::win_error::AccessDenied);
  auto opened = winsec::OpenedProcess::Open(guarded, platform::process_access::Synchronize, error);
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->BaseName(), "System");  // no right to read it
  try {
    opened->Terminate(0);
    ADD_FAILURE() << "ended without the right";
  } catch (const ENTException& refusal) {
    EXPECT_EQ(refusal.Code(), platform::win_error::AccessDenied);
  }
  auto ending = winsec::OpenedProcess::Open(slow, AllAccess, error);
  ASSERT_TRUE(ending);
  ending->Terminate(0);
  EXPECT_FALSE(ending->WaitForExit(2000));
  EXPECT_TRUE(ending->WaitForExit(2000));
}

}  // namespace
}  // namespace winsec_test
