#pragma once
// TNTProcessList and TNTProcess: the processes running on an NT-family machine and the
// executable name of each. The list is a snapshot of process ids taken at each Refresh; a
// TNTProcess, owned by the caller, is pointed at one entry and reads that process's name.
//
//   winsec::TNTProcessList list;
//   winsec::TNTProcess process;
//   for (int i = 0; i < list.Count(); ++i) {
//     list.Assign(i, process);
//     process.Name();  // "QALVINT.EXE"; ENTException when the process will not open
//   }
#include <optional>
#include <string>
#include <vector>

#include "platform/win_types.hpp"

namespace winsec {

class TNTProcess {
 public:
  TNTProcess() = default;
  explicit TNTProcess(platform::ProcessId id) : id_(id) {}

  platform::ProcessId Id() const { return id_; }
  // Pointing the object at another id drops what it read about the previous one.
  void SetId(platform::ProcessId id);
  // The base name of the process's main module ("System" when it has none, "Idle" for id 0).
  // Read once per id. ENTException when the process does not open for reading.
  const std::string& Name();

 private:
  platform::ProcessId id_ = 0;
  std::optional<std::string> name_;
};

class TNTProcessList {
 public:
  // Binds the process status library and takes the first snapshot.
  TNTProcessList();

  // Takes a new snapshot and returns its count. A failing enumeration gives an empty list
  // (EnumerationError tells why).
  int Refresh();
  int Count() const { return static_cast<int>(ids_.size()); }
  // std::out_of_range "PID index out of range" outside 0..Count()-1.
  platform::ProcessId ProcessId(int index) const;
  void Assign(int index, TNTProcess& process) const;
  // Why the last snapshot listed nothing: the library binding's or the enumeration's error;
  // Success when it listed the processes.
  platform::ErrorCode EnumerationError() const { return enumerationError_; }

 private:
  platform::ErrorCode binding_;
  std::vector<platform::ProcessId> ids_;
  platform::ErrorCode enumerationError_ = platform::win_error::Success;
};

}  // namespace winsec
