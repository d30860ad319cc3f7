#pragma once
// What the two-process sharing tests share: the worker processes (this test program run again
// with one test selected and its request in an environment variable), how long they run, and
// the names they give their records.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tables/handler/db_handler.hpp"

namespace tables::testing {

// Seconds each worker runs; KORVANE_SHARING_SECONDS makes the run longer by hand.
inline double SharingRunSeconds() {
  const char* seconds = std::getenv("KORVANE_SHARING_SECONDS");
  return seconds ? std::atof(seconds) : 2.0;
}

// The NAME of record n written by worker.
inline std::string WorkerRecordName(int worker, int n) {
  return "W" + std::to_string(worker) + "-" + std::to_string(n);
}

inline std::string TrimmedName(XBO_dBHandler& table) {
  std::string name = table.GetFieldText("NAME");
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

// Which worker wrote the current record and its ordinal there, read from its NAME; false
// (with a test failure) when the NAME is not one a worker writes.
inline bool ReadWorkerRecordName(XBO_dBHandler& table, int& worker, int& n) {
  const std::string name = TrimmedName(table);
  char dash = 0;
  worker = n = 0;
  std::istringstream parts(name.substr(std::min<std::size_t>(1, name.size())));
  parts >> worker >> dash >> n;
  EXPECT_EQ(name, WorkerRecordName(worker, n)) << "record " << table.position();
  return name == WorkerRecordName(worker, n);
}

// Starts this program running only workerTest, with request in the environment variable
// variable and its output silenced; its process id.
inline pid_t StartSharingWorker(const char* variable, const char* workerTest,
                                const std::string& request) {
  const std::string filter = std::string("--gtest_filter=") + workerTest;
  const pid_t pid = fork();
  if (pid == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
    setenv(variable, request.c_str(), 1);
    execl("/proc/self/exe", "tables_handler_tests", filter.c_str(), nullptr);
    _exit(127);
  }
  return pid;
}

}  // namespace tables::testing
