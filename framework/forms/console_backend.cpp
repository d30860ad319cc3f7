#include "framework/forms/console_backend.hpp"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <deque>

#include "framework/forms/application.hpp"
#include "framework/forms/console_keys.hpp"
#include "framework/forms/console_layout.hpp"
#include "platform/code_pages.hpp"
#include "platform/machine.hpp"

namespace forms {

// The terminal taken over and the keys read so far.
class ConsoleSession {
 public:
  ConsoleSession(int inputFd, int outputFd) : terminal_(inputFd, outputFd) {}
  KeyDecoder decoder;
  std::deque<Key> keys;  // typed ahead, in order

 private:
  TerminalSession terminal_;
};

namespace {

using Kind = Key::Kind;

// Bytes of one escape sequence arrive together; a lone Escape is known after this pause.
constexpr int kEscapePauseMs = 25;

std::size_t Step(std::size_t index, std::size_t count, bool forward) {
  return forward ? (index + 1) % count : (index + count - 1) % count;
}

}  // namespace

ConsoleBackend::ConsoleBackend(int inputFd, int outputFd)
    : ConsoleBackend(platform::CurrentMachine().clock(), inputFd, outputFd) {}

ConsoleBackend::ConsoleBackend(platform::Clock& clock, int inputFd, int outputFd)
    : clock_(clock), inputFd_(inputFd), outputFd_(outputFd) {}

ConsoleBackend::~ConsoleBackend() = default;

void ConsoleBackend::SetScreenSize(int columns, int rows) {
  fixedSize_ = TerminalSize{columns, rows};
}

void ConsoleBackend::BeginRun(TApplication&) {
  Session();
  dirty_ = true;
}

void ConsoleBackend::EndRun(TApplication&) {
  session_.reset();
}

void ConsoleBackend::WaitForInput(TApplication& app, std::optional<std::uint32_t> timeout) {
  Session();
  if (dirty_ || TerminalSession::TakeResized()) Draw(Page(app));
  if (const auto key = NextKey(timeout)) Dispatch(app, *key);
}

void ConsoleBackend::HandlePendingInput(TApplication& app) {
  if (!session_) return;
  if (dirty_) Draw(Page(app));
  while (const auto key = NextKey(std::uint32_t{0}))
    Dispatch(app, *key);
  if (dirty_) Draw(Page(app));
}

ModalResult ConsoleBackend::ShowMessageBox(TApplication& app, const MessageRequest& request) {
  Session();
  const auto buttons = ButtonsOf(request.buttons);
  std::size_t highlighted = static_cast<std::size_t>(
      std::find(buttons.begin(), buttons.end(), DefaultButtonOf(request)) - buttons.begin());
  while (true) {
    ConsolePage page = Page(app);
    OverlayMessageBox(page, request, buttons[highlighted], Size());
    Draw(page);
    dirty_ = true;  // the page needs drawing again without the box
    if (const auto key = NextKey(app.TimeToNextTimer())) {
      switch (key->kind) {
        case Kind::Enter:
          return buttons[highlighted];
        case Kind::Escape:
          return CancelButtonOf(request.buttons);
        case Kind::Tab:
        case Kind::Right:
        case Kind::Down:
        case Kind::BackTab:
        case Kind::Left:
        case Kind::Up: {
          const bool forward =
              key->kind == Kind::Tab || key->kind == Kind::Right || key->kind == Kind::Down;
          highlighted = Step(highlighted, buttons.size(), forward);
          break;
        }
        case Kind::Text:
          for (ModalResult button : buttons) {
            if (std::toupper(static_cast<unsigned char>(key->text[0])) == ButtonText(button)[0]) {
              return button;
            }
          }
          break;
        default:
          break;
      }
    }
    app.FireDueTimers();
  }
}

std::optional<std::string> ConsoleBackend::ShowInputBox(TApplication& app,
                                                        const InputRequest& request) {
  Session();
  std::string text = request.defaultText;
  bool selected = true;  // as in Windows, typing replaces the proposed text
  while (true) {
    ConsolePage page = Page(app);
    OverlayInputBox(page, request, text, selected, Size());
    Draw(page);
    dirty_ = true;
    if (const auto key = NextKey(app.TimeToNextTimer())) {
      switch (key->kind) {
        case Kind::Enter:
          return text;
        case Kind::Escape:
          return std::nullopt;
        case Kind::Backspace:
          if (selected)
            text.clear();
          else if (!text.empty())
            text.pop_back();
          selected = false;
          break;
        case Kind::Text:
          if (selected) text.clear();
          text += platform::Utf8ToCodePage(CodePage(), key->text);
          selected = false;
          break;
        default:
          selected = false;
          break;
      }
    }
    app.FireDueTimers();
  }
}

ConsoleSession& ConsoleBackend::Session() {
  if (!session_) session_ = std::make_unique<ConsoleSession>(inputFd_, outputFd_);
  return *session_;
}

TerminalSize ConsoleBackend::Size() const {
  if (fixedSize_) return *fixedSize_;
  return QueryTerminalSize(outputFd_).value_or(TerminalSize{});
}

std::uint32_t ConsoleBackend::CodePage() const {
  return platform::CurrentMachine().system().AnsiCodePage();
}

ConsolePage ConsoleBackend::Page(TApplication& app) const {
  const bool busy = app.Screen().Cursor() == TCursor::HourGlass;
  TForm* form = app.ActiveForm();
  return form ? LayoutForm(*form, Size(), busy) : LayoutEmpty(app.Title(), Size(), busy);
}

void ConsoleBackend::Draw(const ConsolePage& page) {
  WriteAll(outputFd_, DrawScreen(page.lines, CodePage()));
  dirty_ = false;
}

std::optional<Key> ConsoleBackend::NextKey(std::optional<std::uint32_t> timeout) {
  ConsoleSession& session = Session();
  if (session.keys.empty()) {
    int wait = -1;
    if (timeout) wait = clock_.IsVirtual() ? 0 : static_cast<int>(*timeout);
    auto bytes = ReadInput(wait);
    bool ended = !bytes;
    if (bytes && bytes->empty() && timeout && clock_.IsVirtual()) clock_.Sleep(*timeout);
    session.decoder.Feed(bytes.value_or(""));
    auto keys = session.decoder.Take(false);
    if (session.decoder.HasPending()) {
      if (!ended) {
        const auto more = ReadInput(kEscapePauseMs);
        ended = !more;
        session.decoder.Feed(more.value_or(""));
      }
      auto rest = session.decoder.Take(true);
      keys.insert(keys.end(), rest.begin(), rest.end());
    }
    session.keys.insert(session.keys.end(), keys.begin(), keys.end());
    if (ended && session.keys.empty()) throw EBackendFailure("The terminal's input has ended");
  }
  if (session.keys.empty()) return std::nullopt;
  Key key = session.keys.front();
  session.keys.pop_front();
  return key;
}

void ConsoleBackend::Dispatch(TApplication& app, const Key& key) {
  app.Dispatch([&] {
    if (TForm* form = app.ActiveForm()) ApplyKey(*form, key, CodePage());
  });
}

std::optional<std::string> ConsoleBackend::ReadInput(int milliseconds) {
  pollfd input{inputFd_, POLLIN, 0};
  const int ready = poll(&input, 1, milliseconds);
  if (ready < 0 && errno == EINTR) {
    dirty_ = true;  // a resize, most likely
    return std::string();
  }
  if (ready < 0) {
    throw EBackendFailure(std::string("The terminal cannot be read: ") + std::strerror(errno));
  }
  if (ready == 0) return std::string();
  char buffer[512];
  const ssize_t count = read(inputFd_, buffer, sizeof buffer);
  if (count < 0 && errno == EINTR) return std::string();
  if (count < 0) {
    throw EBackendFailure(std::string("The terminal cannot be read: ") + std::strerror(errno));
  }
  if (count == 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(count));
}

}  // namespace forms
