#pragma once
// A machine for tests that forwards every service of a wrapped machine except its files, which
// go through a FailingFileSystem over the wrapped machine's file system.
#include "platform/machine.hpp"
#include "tests/support/failing_file_system.hpp"

namespace platform::testing {

class FailingMachine final : public Machine {
 public:
  explicit FailingMachine(Machine& inner) : inner_(inner), files_(inner.files()) {}

  Registry& registry() override { return inner_.registry(); }
  FileSystem& files() override { return files_; }
  Processes& processes() override { return inner_.processes(); }
  Shell& shell() override { return inner_.shell(); }
  SystemInfo& system() override { return inner_.system(); }
  ProgramContext& program() override { return inner_.program(); }
  CodePages& codePages() override { return inner_.codePages(); }
  Clock& clock() override { return inner_.clock(); }
  Security& security() override { return inner_.security(); }
  void Save() override { inner_.Save(); }

  FailingFileSystem& failingFiles() { return files_; }

 private:
  Machine& inner_;
  FailingFileSystem files_;
};

}  // namespace platform::testing
