#pragma once
// ConsoleBackend: the forms in a text terminal. The active form is drawn as a framed page:
// caption on the frame, its texts wrapped to the width, boxes as framed sections, edits as
// fields, buttons as "[1] Next" with the accelerator letter underlined. Keys:
//   Tab / Shift+Tab   move the focus between fields and buttons
//   letter or digit   press the button with that accelerator or number (when the focus is not
//                     in a text field; Alt+letter / Alt+digit always)
//   Enter             press the focused button, else the default button
//   Escape            press the cancel button
//   Space             tick the focused box, press the focused button
//   Up / Down         choose in a combo box; scroll a text (also PgUp / PgDn)
// Message boxes take Y/N or O/C (Enter = the default button, Escape = cancel); input boxes a
// line of text (Enter accepts, Escape cancels). Timers run in real time.
//
// Input and output are file descriptors (standard input and output by default). When the
// input is a terminal it is put into raw mode for the run and restored on every way out
// (return, exception, SIGINT/SIGTERM/SIGHUP, exit).
#include <memory>
#include <optional>
#include <string>

#include "framework/forms/backend.hpp"
#include "framework/forms/key_decoder.hpp"
#include "framework/forms/terminal.hpp"

namespace forms {

struct ConsolePage;
class ConsoleSession;

class ConsoleBackend : public Backend {
 public:
  // Uses the current machine's clock and the terminal size (80 x 24 when it cannot be read).
  ConsoleBackend(int inputFd = 0, int outputFd = 1);
  ConsoleBackend(platform::Clock& clock, int inputFd, int outputFd);
  ~ConsoleBackend() override;

  // Fixed screen size (tests; otherwise the terminal's size is used).
  void SetScreenSize(int columns, int rows);

  platform::Clock& Clock() override { return clock_; }
  void Invalidate() override { dirty_ = true; }
  void BeginRun(TApplication& app) override;
  void EndRun(TApplication& app) override;
  void WaitForInput(TApplication& app, std::optional<std::uint32_t> timeout) override;
  void HandlePendingInput(TApplication& app) override;
  ModalResult ShowMessageBox(TApplication& app, const MessageRequest& request) override;
  std::optional<std::string> ShowInputBox(TApplication& app, const InputRequest& request) override;

 private:
  ConsoleSession& Session();
  TerminalSize Size() const;
  std::uint32_t CodePage() const;
  ConsolePage Page(TApplication& app) const;
  void Draw(const ConsolePage& page);
  // The next key typed within `timeout` ms (none: wait for it). On a virtual clock the time
  // passes at once when nothing has been typed.
  std::optional<Key> NextKey(std::optional<std::uint32_t> timeout);
  void Dispatch(TApplication& app, const Key& key);
  // Bytes typed within `milliseconds` (-1: wait for them); nothing at the end of the input.
  std::optional<std::string> ReadInput(int milliseconds);

  platform::Clock& clock_;
  int inputFd_;
  int outputFd_;
  bool dirty_ = true;
  std::optional<TerminalSize> fixedSize_;
  std::unique_ptr<ConsoleSession> session_;
};

}  // namespace forms
