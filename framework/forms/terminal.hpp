#pragma once
// The text terminal as the console backend uses it: raw keyboard input without echo, the
// alternate screen, a hidden cursor. TerminalSession takes the terminal over for its lifetime
// and gives it back as it was on every way out: destruction, exit(), and the signals that end
// a program (SIGINT, SIGTERM, SIGHUP, SIGQUIT), after which the signal takes its usual course.
// When the input is not a terminal only the screen sequences are written.
#include <optional>
#include <string>

namespace forms {

struct TerminalSize {
  int columns = 80;
  int rows = 24;
};

// The size of the terminal on `fd`; nothing when it is not a terminal.
std::optional<TerminalSize> QueryTerminalSize(int fd);

class TerminalSession {
 public:
  TerminalSession(int inputFd, int outputFd);
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Set (from a signal handler) when the terminal changed its size.
  static bool TakeResized();
};

// Writes all of `text` to `fd` (EBackendFailure when the terminal is gone).
void WriteAll(int fd, const std::string& text);

}  // namespace forms
