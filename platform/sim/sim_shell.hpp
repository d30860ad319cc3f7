#pragma once
// Shell links and program start on a simulated machine: links are written in the .lnk
// format through the machine's file system; a program started through the shell joins the
// machine's process table.
#include "platform/file_system.hpp"
#include "platform/shell.hpp"
#include "platform/sim/sim_context.hpp"
#include "platform/sim/sim_processes.hpp"

namespace platform::sim {

class SimShell : public Shell {
 public:
  SimShell(SimContext& context, FileSystem& files, SimProcesses& processes)
      : context_(context), files_(files), processes_(processes) {}

  ErrorCode SaveLink(const ShellLinkData& link, std::string_view linkFile) override;
  // A bare file name is looked for in `folder`, the current, the system and the Windows
  // folder, in that order. Only programs (.exe, .com) start: another existing file gives
  // NoAssociation, a missing one FileNotFound.
  ErrorCode Execute(std::string_view file, std::string_view parameters, std::string_view folder,
                    int showCommand) override;

 private:
  bool FindFile(std::string_view file, std::string_view folder, std::string& found);

  SimContext& context_;
  FileSystem& files_;
  SimProcesses& processes_;
};

}  // namespace platform::sim
