#include "framework/forms/terminal.hpp"

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "framework/forms/application.hpp"

namespace forms {
namespace {

// What the signal handler and the exit handler need: plain data, set before they can run.
struct SavedTerminal {
  std::atomic<bool> active{false};
  bool raw = false;  // termios was changed
  int inputFd = 0;
  int outputFd = 1;
  termios original{};
};

SavedTerminal saved;
std::atomic<bool> resized{false};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction previousHandlers[std::size(kEndingSignals)];
struct sigaction previousResize;

constexpr char kEnter[] = "\x1b[?1049h\x1b[?25l";
constexpr char kLeave[] = "\x1b[0m\x1b[?25h\x1b[?1049l";

// Async-signal-safe: only tcsetattr and write.
void Restore() {
  if (!saved.active.exchange(false)) return;
  if (saved.raw) tcsetattr(saved.inputFd, TCSAFLUSH, &saved.original);
  const ssize_t written = write(saved.outputFd, kLeave, sizeof kLeave - 1);
  static_cast<void>(written);
}

void OnEndingSignal(int signal) {
  Restore();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void OnResize(int) {
  resized = true;
}

void InstallHandlers() {
  struct sigaction action {};
  action.sa_handler = OnEndingSignal;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    sigaction(kEndingSignals[i], &action, &previousHandlers[i]);
  }
  struct sigaction resize {};
  resize.sa_handler = OnResize;
  sigemptyset(&resize.sa_mask);
  sigaction(SIGWINCH, &resize, &previousResize);
}

void RemoveHandlers() {
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    sigaction(kEndingSignals[i], &previousHandlers[i], nullptr);
  }
  sigaction(SIGWINCH, &previousResize, nullptr);
}

}  // namespace

std::optional<TerminalSize> QueryTerminalSize(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
    return std::nullopt;
  }
  return TerminalSize{size.ws_col, size.ws_row};
}

TerminalSession::TerminalSession(int inputFd, int outputFd) {
  static const bool exitHandlerInstalled = [] { return std::atexit(Restore) == 0; }();
  static_cast<void>(exitHandlerInstalled);
  saved.inputFd = inputFd;
  saved.outputFd = outputFd;
  saved.raw = isatty(inputFd) && tcgetattr(inputFd, &saved.original) == 0;
  if (saved.raw) {
    termios raw = saved.original;
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | ISTRIP | BRKINT);
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(inputFd, TCSAFLUSH, &raw) != 0) {
      throw EBackendFailure(std::string("The terminal cannot be set up: ") + std::strerror(errno));
    }
  }
  saved.active = true;
  InstallHandlers();
  WriteAll(outputFd, kEnter);
}

TerminalSession::~TerminalSession() {
  Restore();
  RemoveHandlers();
}

bool TerminalSession::TakeResized() {
  return resized.exchange(false);
}

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      throw EBackendFailure(std::string("The terminal cannot be written: ") + std::strerror(errno));
    }
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace forms
