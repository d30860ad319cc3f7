#pragma once
// Where the program loader of a simulated machine finds a library: a name with a folder names
// that file; a bare name is looked for in the running program's folder, the current folder,
// the system folder and the Windows folder, in that order.
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"
#include "platform/sim/sim_context.hpp"

namespace platform::sim {

class LibrarySearch {
 public:
  LibrarySearch(const SimContext& context, FileSystem& files, std::string programFolder)
      : context_(context), files_(files), programFolder_(std::move(programFolder)) {}

  // The full path of the library file that a LoadLibrary of `name` loads, if there is one.
  std::optional<std::string> Find(std::string_view name) const;

 private:
  const SimContext& context_;
  FileSystem& files_;
  std::string programFolder_;  // empty for a tool that runs no program on the machine
};

}  // namespace platform::sim
