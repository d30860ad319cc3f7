#include "winsec/nt_process.hpp"

#include <stdexcept>

#include "platform/machine.hpp"
#include "winsec/nt_exception.hpp"
#include "winsec/opened_process.hpp"
#include "winsec/process_status_binding.hpp"

namespace winsec {
namespace {

// The id buffer holds 65,536 bytes: 16,384 ids of 4 bytes.
constexpr std::size_t kMaxProcesses = 65536 / 4;
constexpr std::uint32_t kReadAccess =
    platform::process_access::QueryInformation | platform::process_access::VmRead;

}  // namespace

void TNTProcess::SetId(platform::ProcessId id) {
  if (id == id_) return;
  id_ = id;
  name_.reset();
}

const std::string& TNTProcess::Name() {
  if (name_) return *name_;
  platform::ErrorCode error = platform::win_error::Success;
  std::optional<OpenedProcess> process = OpenedProcess::Open(id_, kReadAccess, error);
  if (process) {
    name_ = process->BaseName();
  } else if (id_ == 0) {
    name_ = "Idle";
  } else {
    throw ENTException::Process(error);
  }
  return *name_;
}

TNTProcessList::TNTProcessList() : binding_(BindProcessStatus()) {
  Refresh();
}

int TNTProcessList::Refresh() {
  ids_.clear();
  enumerationError_ = binding_;
  if (binding_ == platform::win_error::Success)
    enumerationError_ = platform::CurrentMachine().processes().EnumerateIds(ids_);
  if (enumerationError_ != platform::win_error::Success) ids_.clear();
  if (ids_.size() > kMaxProcesses) ids_.resize(kMaxProcesses);
  return Count();
}

platform::ProcessId TNTProcessList::ProcessId(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("PID index out of range");
  return ids_[static_cast<std::size_t>(index)];
}

void TNTProcessList::Assign(int index, TNTProcess& process) const {
  process.SetId(ProcessId(index));
}

}  // namespace winsec
