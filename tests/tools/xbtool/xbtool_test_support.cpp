#include "tests/tools/xbtool/xbtool_test_support.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tools/xbtool/xbtool_command.hpp"

extern char** environ;

namespace tools::xbtool::testing {
namespace {

// Starts argv with its standard output on a pipe; returns the pid and the pipe's read end.
int Spawn(const std::vector<std::string>& argv, int& output) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  std::vector<char*> args;
  for (const std::string& argument : argv)
    args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (failed != 0) {
    ::close(pipeEnds[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }
  output = pipeEnds[0];
  return pid;
}

int WaitFor(int pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

Outcome Xbtool(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int code = RunXbtool(arguments, out, err);
  return {code, out.str(), err.str()};
}

std::string XbtoolOk(const std::vector<std::string>& arguments) {
  const Outcome outcome = Xbtool(arguments);
  if (outcome.code != 0) {
    std::string command = "xbtool";
    for (const auto& argument : arguments)
      command += " " + argument;
    throw std::runtime_error(command + " failed: " + outcome.err);
  }
  return outcome.out;
}

std::string XbtoolProgram() {
  return std::string(KORVANE_BINARY_DIR) + "/bin/xbtool";
}

std::string ReaderScript(const std::string& name) {
  return std::string(KORVANE_SOURCE_DIR) + "/tests/tools/xbtool/readers/" + name;
}

std::string FixturePath(const std::string& name) {
  return (std::filesystem::path(KORVANE_FIXTURES_DIR) / name).string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string RunProgram(const std::vector<std::string>& argv, int& status) {
  int output = -1;
  const int pid = Spawn(argv, output);
  std::string text;
  char buffer[65536];
  for (ssize_t got; (got = ::read(output, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(got));
  ::close(output);
  status = WaitFor(pid);
  return text;
}

ChildProgram::ChildProgram(const std::vector<std::string>& argv) {
  pid_ = Spawn(argv, output_);
}

ChildProgram::~ChildProgram() {
  Stop();
  if (output_ >= 0) ::close(output_);
}

std::string ChildProgram::ReadLine() {
  std::string line;
  char c;
  while (::read(output_, &c, 1) == 1 && c != '\n')
    line += c;
  return line;
}

void ChildProgram::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  WaitFor(pid_);
  pid_ = -1;
}

}  // namespace tools::xbtool::testing
