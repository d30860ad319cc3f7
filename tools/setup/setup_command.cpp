#include "tools/setup/setup_command.hpp"

#include <memory>
#include <optional>

#include "app/setup.hpp"
#include "app/splash.hpp"
#include "framework/forms/console_backend.hpp"
#include "framework/forms/script_backend.hpp"
#include "platform/ini_text.hpp"
#include "platform/path_parts.hpp"
#include "platform/sim/sim_machine.hpp"
#include "tools/setup/account_answers.hpp"
#include "tools/setup/answer_file.hpp"
#include "tools/setup/answer_script.hpp"

namespace setup_tool {
namespace {

constexpr const char* kUsage =
    "usage: Setup --machine DIR [--setup-path PATH] [--ui console|script] [--answers FILE]\n"
    "  --machine DIR      the simulated Windows machine to install on\n"
    "  --setup-path PATH  Windows path of the folder Setup runs from (default C:\\KVSETUP)\n"
    "  --ui console       run in this terminal (the default without an answer file)\n"
    "  --ui script        run unattended from --answers FILE (the default with one)\n"
    "  --answers FILE     INI file answering the installer's questions\n"
    "  --widen-run-key yes|no   on NT, give Everyone full control of the machine's Run key\n"
    "                           (default yes; an answer file's [Security] WidenRunKey wins)\n"
    "  --widen-programs yes|no  on NT, give Everyone write access to the two auto-started\n"
    "                           programs (default yes; [Security] WidenPrograms wins)\n";

struct Options {
  std::string machine;
  std::string setupPath = kDefaultSetupPath;
  std::string ui;
  std::string answers;
  std::string widenRunKey = "yes";
  std::string widenPrograms = "yes";
};

std::optional<Options> ParseArguments(const std::vector<std::string>& arguments,
                                      std::ostream& err) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    std::string* target = argument == "--machine"          ? &options.machine
                          : argument == "--setup-path"     ? &options.setupPath
                          : argument == "--ui"             ? &options.ui
                          : argument == "--answers"        ? &options.answers
                          : argument == "--widen-run-key"  ? &options.widenRunKey
                          : argument == "--widen-programs" ? &options.widenPrograms
                                                           : nullptr;
    if (!target) {
      err << "Setup: unknown argument " << argument << "\n" << kUsage;
      return std::nullopt;
    }
    if (i + 1 == arguments.size()) {
      err << "Setup: " << argument << " needs a value\n" << kUsage;
      return std::nullopt;
    }
    *target = arguments[++i];
  }
  if (options.machine.empty()) {
    err << "Setup: --machine DIR is required (this build installs on a simulated machine)\n"
        << kUsage;
    return std::nullopt;
  }
  for (const std::string* choice : {&options.widenRunKey, &options.widenPrograms})
    if (*choice != "yes" && *choice != "no") {
      err << "Setup: --widen-run-key and --widen-programs take yes or no\n" << kUsage;
      return std::nullopt;
    }
  if (options.ui.empty()) options.ui = options.answers.empty() ? "console" : "script";
  if (options.ui != "console" && options.ui != "script") {
    err << "Setup: --ui must be console or script\n" << kUsage;
    return std::nullopt;
  }
  if (options.ui == "script" && options.answers.empty()) {
    err << "Setup: --ui script needs --answers FILE\n" << kUsage;
    return std::nullopt;
  }
  if (options.ui == "console" && !options.answers.empty()) {
    err << "Setup: --answers drives --ui script only\n" << kUsage;
    return std::nullopt;
  }
  options.setupPath = std::string(platform::WithoutTrailingSeparators(options.setupPath));
  return options;
}

// What the administrator lets the NT permission step widen: the answer file's choice where it
// makes one, else the command line's.
app::NtWidening WideningOf(const Options& options, const std::optional<AnswerFile>& answers) {
  const auto choice = [&](std::string_view key, const std::string& switchValue) {
    const std::optional<std::string> answer =
        answers ? answers->Find("Security", key) : std::nullopt;
    return platform::SameIniName(answer.value_or(switchValue), "yes");
  };
  return {choice("WidenRunKey", options.widenRunKey),
          choice("WidenPrograms", options.widenPrograms)};
}

// Runs the installer on the current machine; errors that end the run early are reported, and
// what the NT permission step did is listed.
int RunInstaller(forms::Backend& backend, const app::NtWidening& widening, std::ostream& out,
                 std::ostream& err) {
  try {
    app::SetupProgram program(backend);
    program.Forms().widening = widening;
    const int exitCode = program.Run();
    for (const std::string& line : program.Forms().splashform->StopReport().Lines())
      out << "Setup: " << line << "\n";
    for (const std::string& step : program.Forms().splashform->StepsNotCarriedOut())
      err << "Setup: not carried out (not yet available): " << step << "\n";
    for (const std::string& change : program.Forms().splashform->AccessChanges())
      out << "Setup: access of Everyone: " << change << "\n";
    return exitCode;
  } catch (const std::exception& error) {
    err << "Setup: " << error.what() << "\n";
    return kSetupFailed;
  }
}

// The machine Setup installs on: the simulated one of --machine, as "SETUP.EXE" in the setup
// folder. (A build for Windows uses the real machine when no --machine is given.)
std::unique_ptr<platform::Machine> OpenMachine(const Options& options, bool scripted) {
  platform::sim::SimOptions simOptions;
  simOptions.programPath = options.setupPath + "\\SETUP.EXE";
  simOptions.virtualClock = scripted;
  return platform::sim::SimMachine::Open(options.machine, simOptions);
}

int RunOnMachine(platform::Machine& machine, const std::optional<AnswerFile>& answers,
                 const app::NtWidening& widening, std::ostream& out, std::ostream& err) {
  platform::ScopedMachine current(machine);
  int exitCode = kSetupFailed;
  if (answers) {
    AnswerScript script(*answers, out);
    forms::ScriptBackend backend;
    backend.SetAnswers(&script);
    exitCode = RunInstaller(backend, widening, out, err);
  } else {
    forms::ConsoleBackend backend;
    exitCode = RunInstaller(backend, widening, out, err);
  }
  machine.Save();
  return exitCode;
}

}  // namespace

int RunSetupCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsage;
    return kSetupDone;
  }
  std::optional<Options> options = ParseArguments(arguments, err);
  if (!options) return kSetupUsage;
  std::optional<AnswerFile> answers;
  try {
    if (!options->answers.empty()) {
      answers = AnswerFile::Load(options->answers);
      ReadAccountAnswers(*answers);
    }
  } catch (const EAccountAnswer& error) {
    // The account form would refuse it: the run stops as the form would, before any change.
    err << "Setup: " << error.what() << "\n";
    return kSetupFailed;
  } catch (const platform::Exception& error) {
    err << "Setup: " << error.what() << "\n";
    return kSetupUsage;
  }
  try {
    std::unique_ptr<platform::Machine> machine = OpenMachine(*options, answers.has_value());
    return RunOnMachine(*machine, answers, WideningOf(*options, answers), out, err);
  } catch (const platform::Exception& error) {
    err << "Setup: " << error.what() << "\n";
    return kSetupFailed;
  }
}

}  // namespace setup_tool
