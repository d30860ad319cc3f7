#pragma once
// Running xbtool in tests: in this process (RunXbtool) or as its own program, and running the
// independent readers of tests/tools/xbtool/readers.
#include <filesystem>
#include <string>
#include <vector>

#include "tests/platform/temp_folder.hpp"

namespace tools::xbtool::testing {

using platform::testing::TempFolder;

struct Outcome {
  int code = -1;
  std::string out, err;
};

// RunXbtool in this process.
Outcome Xbtool(const std::vector<std::string>& arguments);
// Xbtool that must succeed; returns its output.
std::string XbtoolOk(const std::vector<std::string>& arguments);

// The built xbtool program.
std::string XbtoolProgram();
// A file of tests/tools/xbtool/readers.
std::string ReaderScript(const std::string& name);
// A file of the peer fixtures.
std::string FixturePath(const std::string& name);
// A whole file's bytes.
std::string ReadFile(const std::string& path);

// Runs a program to its end; its standard output is returned, its exit status set.
std::string RunProgram(const std::vector<std::string>& argv, int& status);

// A program running beside the test, with its standard output readable line by line. The
// destructor ends it (by its process id) if it still runs.
class ChildProgram {
 public:
  explicit ChildProgram(const std::vector<std::string>& argv);
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  // The next line of its output, without the line break; empty at the end of its output.
  std::string ReadLine();
  // Ends it and waits for it.
  void Stop();

 private:
  int pid_ = -1;
  int output_ = -1;
};

}  // namespace tools::xbtool::testing
