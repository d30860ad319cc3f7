#include "app/program_stop_report.hpp"

namespace app {
namespace {

std::string CopyText(const ProgramStopReport::Copy& copy) {
  std::string text = copy.program + " (process " + std::to_string(copy.id) + ")";
  if (!copy.reason.empty()) text += ": " + copy.reason;
  return text;
}

}  // namespace

std::vector<std::string> ProgramStopReport::Lines() const {
  std::vector<std::string> lines;
  for (const Copy& copy : stopped)
    lines.push_back("Stopped: " + CopyText(copy));
  for (std::string& line : ProblemLines())
    lines.push_back(std::move(line));
  return lines;
}

std::vector<std::string> ProgramStopReport::ProblemLines() const {
  std::vector<std::string> lines;
  for (const Copy& copy : stillRunning)
    lines.push_back("Still running: " + CopyText(copy));
  for (const std::string& program : notLookedFor)
    lines.push_back("Not looked for: " + program);
  for (const std::string& file : filesNotReplaced)
    lines.push_back("Not replaced: " + file);
  return lines;
}

}  // namespace app
