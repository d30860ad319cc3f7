#pragma once
// Drives an engine operation through every failure point of its file-system calls: one clean
// run counts the calls, then each call fails in turn, then each write stores only half of its
// buffer (once claiming success, once answering a full disk), and the disk fills up from each
// write on (every later write that makes a file longer is refused, and the undoing that
// follows a failure has to make do with writes inside the files). Every run starts from the
// same files of C:\DATA, and after each a check looks at the outcome with a healthy disk.
//
// Each run must end in one of two ways: the operation returned normally, or it raised the
// engine's error for the call that failed (its code, the subcode of that kind of call and the
// file name, in the engine's message text). A fault the engine swallowed is accepted only for
// lock calls, which it retries or may do without.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/failing_machine.hpp"
#include "tests/tables/storage/storage_test_machine.hpp"

namespace tables::testing {

struct FaultRun {
  std::optional<platform::testing::InjectedFault> fault;  // none on the clean run
  bool raised = false;
  std::string message;
  int code = 0;
  int subcode = 0;
  // For failure messages: which call failed how, and what the operation raised.
  std::string Describe() const;
};

// The engine message for a failed file call: code, subcode and file name.
std::string ExpectedDiskMessage(platform::ErrorCode code, int subcode, const std::string& path);

class FaultSweep {
 public:
  FaultSweep();

  platform::testing::FailingFileSystem& files() { return failing_.failingFiles(); }
  StorageTestMachine& storage() { return storage_; }

  // Keeps the files of C:\DATA as they are now; every run starts from them.
  void Keep();
  // Runs operation once clean and once per failure point (see above); check sees each outcome
  // after the disk has healed. Returns the number of runs.
  int Run(const std::function<void()>& operation,
          const std::function<void(const FaultRun&)>& check);

 private:
  void Restore();
  FaultRun RunOnce(const std::function<void()>& operation);
  void ExpectEngineError(const FaultRun& run);

  StorageTestMachine storage_;
  platform::testing::FailingMachine failing_{storage_.machine()};
  platform::ScopedMachine installed_{failing_};
  std::map<std::string, std::vector<std::uint8_t>> kept_;
  std::uint64_t lastCalls_ = 0;  // of the last run, counted before the disk healed
  std::uint64_t lastWrites_ = 0;
};

}  // namespace tables::testing
