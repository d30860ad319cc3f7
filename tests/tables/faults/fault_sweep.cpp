#include "tests/tables/faults/fault_sweep.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "tables/storage/file_collection.hpp"
#include "tables/storage/xbase_error.hpp"

namespace tables::testing {
namespace {

using platform::testing::FileCall;

// The subcodes under which the engine reports a failed call of each kind.
std::vector<int> SubcodesFor(FileCall call) {
  switch (call) {
    case FileCall::Open:
      return {1107, 1108, 1106};  // opening, reopening after creating, reopening after renaming
    case FileCall::Create:
      return {1108};
    case FileCall::Read:
      return {1101};
    case FileCall::Write:
      return {1102};
    case FileCall::Size:
      return {1105};
    case FileCall::Flush:
      return {1111};
    case FileCall::Truncate:
      return {1109};
    case FileCall::Lock:
      return {1112};
    case FileCall::Rename:
      return {1106};
    default:
      return {};
  }
}

bool MaySwallow(FileCall call) {
  return call == FileCall::Lock || call == FileCall::Unlock;
}

}  // namespace

std::string FaultRun::Describe() const {
  std::string text = "clean run";
  if (fault) {
    text = "call " + std::to_string(fault->callNumber) + " (" +
           std::string(platform::testing::FileCallName(fault->target.call)) + " of " +
           fault->target.path + ") ";
    text += fault->shortWrite ? "stored " + std::to_string(fault->bytesKept) +
                                    " bytes and answered " + std::to_string(fault->error)
                              : "failed with " + std::to_string(fault->error);
  }
  return text + (raised ? "; raised \"" + message + "\"" : "; nothing raised");
}

std::string ExpectedDiskMessage(platform::ErrorCode code, int subcode, const std::string& path) {
  if (code == 32) return "File access denied - " + path;
  if (code == 33) return "Record locked by another user - " + path;
  const std::string sub = std::to_string(subcode);
  return "Xbase Error " + std::to_string(code) + ", SubCode " + sub + ".\r " + path + ">" + sub;
}

FaultSweep::FaultSweep() {
  Keep();
}

void FaultSweep::Keep() {
  kept_.clear();
  for (const auto& entry : std::filesystem::directory_iterator(storage_.HostPath("C:\\DATA"))) {
    const std::string name = entry.path().filename().string();
    kept_[name] = storage_.ReadBytes(StorageTestMachine::Path(name));
  }
}

void FaultSweep::Restore() {
  const std::filesystem::path folder = storage_.HostPath("C:\\DATA");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  for (const auto& [name, bytes] : kept_)
    storage_.WriteBytes(StorageTestMachine::Path(name), bytes);
}

FaultRun FaultSweep::RunOnce(const std::function<void()>& operation) {
  FaultRun run;
  try {
    operation();
  } catch (const EXbaseError& error) {
    run.raised = true;
    run.message = error.what();
    run.code = error.code();
    run.subcode = error.subcode();
  }
  run.fault = files().injected();
  lastCalls_ = files().calls();
  lastWrites_ = files().callsOf(FileCall::Write);
  files().Heal();
  EXPECT_EQ(XbFiles().Count(), 0u) << "a file stayed open after " << run.Describe();
  return run;
}

void FaultSweep::ExpectEngineError(const FaultRun& run) {
  if (!run.fault) {
    EXPECT_FALSE(run.raised) << run.Describe();
    return;
  }
  const platform::testing::InjectedFault& fault = *run.fault;
  if (!run.raised) {
    EXPECT_TRUE(MaySwallow(fault.target.call)) << "the failure was lost: " << run.Describe();
    return;
  }
  const platform::ErrorCode expected =
      fault.shortWrite ? platform::win_error::DiskFull : fault.error;
  EXPECT_EQ(run.code, static_cast<int>(expected)) << run.Describe();
  const std::vector<int> subcodes = SubcodesFor(fault.target.call);
  EXPECT_NE(std::find(subcodes.begin(), subcodes.end(), run.subcode), subcodes.end())
      << run.Describe();
  EXPECT_EQ(run.message, ExpectedDiskMessage(expected, run.subcode, fault.target.path))
      << run.Describe();
}

int FaultSweep::Run(const std::function<void()>& operation,
                    const std::function<void(const FaultRun&)>& check) {
  int runs = 0;
  auto once = [&](const std::function<void()>& arm) {
    Restore();
    files().Heal();
    arm();
    const FaultRun run = RunOnce(operation);
    ExpectEngineError(run);
    check(run);
    ++runs;
  };
  once([] {});
  const std::uint64_t calls = lastCalls_;
  const std::uint64_t writes = lastWrites_;
  for (std::uint64_t n = 1; n <= calls; ++n)
    once([&] { files().FailCall(n); });
  for (std::uint64_t n = 1; n <= writes; ++n) {
    once([&] { files().ShortenWrite(n); });
    once([&] { files().ShortenWrite(n, platform::win_error::DiskFull); });
    once([&] { files().FillDiskFrom(n); });
  }
  return runs;
}

}  // namespace tables::testing
