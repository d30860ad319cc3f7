#pragma once
// The file system of a simulated machine: Windows paths ("C:\WINDOWS\SYSTEM\KVUS.DAT",
// relative ones against the program's current folder) mapped onto the drive folders
// <machine>/drives/<LETTER>/..., names found without regard to case. A CD-ROM drive whose
// folder is missing has no media (NotReady) and refuses every change; a file that is the
// executable of a running process cannot be written, overwritten or deleted.
#include "platform/native/host_file_system.hpp"
#include "platform/sim/sim_context.hpp"

namespace platform::sim {

class SimFileSystem final : public HostFileSystem {
 public:
  // The context is read at every call (its current folder changes as the program runs).
  explicit SimFileSystem(const SimContext& context);

  ErrorCode Open(std::string_view path, std::uint32_t access, std::uint32_t share,
                 Disposition disposition, std::unique_ptr<File>& result) override;
  ErrorCode Copy(std::string_view source, std::string_view target, bool failIfExists) override;
  ErrorCode Remove(std::string_view path) override;
  ErrorCode Rename(std::string_view from, std::string_view to) override;
  ErrorCode RemoveFolder(std::string_view path) override;

 private:
  bool IsRunningExecutable(std::string_view path);
  void TellRemoved(const std::string& fullPath) const;

  const SimContext& context_;
};

}  // namespace platform::sim
