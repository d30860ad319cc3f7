#include "sysinfo/mystd.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/forms/format_settings.hpp"
#include "platform/machine.hpp"
#include "platform/path_parts.hpp"

namespace sysinfo {
namespace {

constexpr const char* kUnknownHost = "-Unknown-";
constexpr const char* kNoHost = "-none-";

platform::SystemInfo& System() {
  return platform::CurrentMachine().system();
}
platform::ProgramContext& Program() {
  return platform::CurrentMachine().program();
}
forms::TApplication& App() {
  return forms::Application();
}

forms::TWindowState StateForShowMode(int mode) {
  switch (mode) {
    case platform::show_mode::ShowMinimized:
    case platform::show_mode::Minimize:
    case platform::show_mode::ShowMinNoActive:
      return forms::TWindowState::Minimized;
    case platform::show_mode::ShowMaximized:
      return forms::TWindowState::Maximized;
    default:
      return forms::TWindowState::Normal;
  }
}

}  // namespace

TzShowApp::TzShowApp(forms::TComponent& owner, std::string name)
    : TComponent(&owner, std::move(name)) {
  platform::Machine& machine = platform::CurrentMachine();
  windows_ = ReadWindowsVersion(machine.system().Version());
  const platform::ProcessorFacts facts = machine.system().Processor();
  processor_ = IdentifyProcessor(facts);
  cpuSpeed_ = MeasureProcessorSpeed(facts, processor_.type, machine.clock());
  environment_ = machine.system().Environment();
  originalShortDate_ = forms::ProgramFormatSettings().shortDateFormat;
  hookId_ =
      App().HookMainWindow([this](forms::Message& message) { return HandleMessage(message); });
}

TzShowApp::~TzShowApp() {
  if (forms::HasApplication()) App().UnhookMainWindow(hookId_);
}

int TzShowApp::BitsPerColor() const {
  const platform::ScreenFacts screen = System().Screen();
  return screen.bitsPerPixel * screen.planes;
}

double TzShowApp::NumberOfColors() const {
  return std::ldexp(1.0, BitsPerColor());
}

void TzShowApp::SetShortDate(TzShortDateFormat mode) {
  // The format may have changed since: rewriting it for an unchanged mode would undo that.
  if (mode == shortDate_) return;
  shortDate_ = mode;
  std::string& format = forms::ProgramFormatSettings().shortDateFormat;
  format = RewriteShortDate(format, mode, originalShortDate_);
}

std::string TzShowApp::WinDir() const {
  return Program().WindowsFolder();
}

std::string TzShowApp::SystemDir() const {
  return Program().SystemFolder();
}

std::string TzShowApp::TempDir() const {
  return std::string(platform::WithoutTrailingSeparators(Program().TempFolder()));
}

std::string TzShowApp::WindowsString() const {
  return sysinfo::WindowsString(windows_);
}

std::string TzShowApp::CPUString() const {
  return ProcessorName(System().Processor());
}

const std::string& TzShowApp::HelpFile() const {
  return App().HelpFile();
}
void TzShowApp::SetHelpFile(std::string file) {
  App().SetHelpFile(std::move(file));
}
const std::string& TzShowApp::Hint() const {
  return App().Hint();
}
void TzShowApp::SetHint(std::string hint) {
  App().SetHint(std::move(hint));
}
forms::TColor TzShowApp::HintColor() const {
  return App().HintColor();
}
void TzShowApp::SetHintColor(forms::TColor color) {
  App().SetHintColor(color);
}
int TzShowApp::HintPause() const {
  return App().HintPause();
}
void TzShowApp::SetHintPause(int ms) {
  App().SetHintPause(ms);
}
int TzShowApp::HintHidePause() const {
  return App().HintHidePause();
}
void TzShowApp::SetHintHidePause(int ms) {
  App().SetHintHidePause(ms);
}
bool TzShowApp::ShowMainForm() const {
  return App().ShowMainForm();
}
void TzShowApp::SetShowMainForm(bool show) {
  App().SetShowMainForm(show);
}

std::string TzShowApp::ComputerName() const {
  return System().ComputerName();
}

std::string TzShowApp::UserName() const {
  return System().UserName();
}

std::string TzShowApp::IPHostName() const {
  if (!enabledHostInfo_) return kUnknownHost;
  std::string name;
  return System().HostName(name) ? name : kNoHost;
}

std::string TzShowApp::IPHostAddress() const {
  if (!enabledHostInfo_) return kUnknownHost;
  std::string name;
  std::array<std::uint8_t, 4> address{};
  if (!System().HostName(name) || !System().HostAddress(name, address)) return kNoHost;
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
  return text;
}

const forms::TPicture& TzShowApp::Icon() const {
  return App().Icon();
}
void TzShowApp::SetIcon(const forms::TPicture& icon) {
  App().Icon() = icon;
}
bool TzShowApp::ShowHint() const {
  return App().ShowHint();
}
void TzShowApp::SetShowHint(bool show) {
  App().SetShowHint(show);
}
const std::string& TzShowApp::Title() const {
  return App().Title();
}
void TzShowApp::SetTitle(std::string title) {
  App().SetTitle(std::move(title));
}

void TzShowApp::SetOnActivate(forms::NotifyEvent handler) {
  App().OnActivate = std::move(handler);
}
void TzShowApp::SetOnDeActivate(forms::NotifyEvent handler) {
  App().OnDeactivate = std::move(handler);
}
void TzShowApp::SetOnExecption(std::function<void(const std::exception&)> handler) {
  App().OnException = std::move(handler);
}
void TzShowApp::SetOnHelp(std::function<bool(std::uint16_t, std::intptr_t, bool&)> handler) {
  App().OnHelp = std::move(handler);
}
void TzShowApp::SetOnHint(forms::NotifyEvent handler) {
  App().OnHint = std::move(handler);
}
void TzShowApp::SetOnIdle(std::function<void(bool&)> handler) {
  App().OnIdle = std::move(handler);
}
void TzShowApp::SetOnMessage(std::function<void(forms::Message&, bool&)> handler) {
  App().OnMessage = std::move(handler);
}
void TzShowApp::SetOnMinimize(forms::NotifyEvent handler) {
  App().OnMinimize = std::move(handler);
}
void TzShowApp::SetOnRestore(forms::NotifyEvent handler) {
  App().OnRestore = std::move(handler);
}
void TzShowApp::SetOnActiveControlChange(forms::NotifyEvent handler) {
  App().Screen().OnActiveControlChange = std::move(handler);
}
void TzShowApp::SetOnActiveFormChange(forms::NotifyEvent handler) {
  App().Screen().OnActiveFormChange = std::move(handler);
}
void TzShowApp::SetOnShowHint(std::function<void(std::string&, bool&)> handler) {
  App().OnShowHint = std::move(handler);
}

forms::TForm& TzShowApp::OwningForm() const {
  for (forms::TComponent* owner = Owner(); owner; owner = owner->Owner()) {
    if (auto* form = dynamic_cast<forms::TForm*>(owner)) return *form;
  }
  throw ENoForm();
}

void TzShowApp::Loaded() {
  if (useCmdShow_) ApplyShowMode();
  processor_.type = IdentifyProcessor(System().Processor()).type;
  environment_ = System().Environment();
  ApplyTaskbar();
  GuardSingleInstance();
}

void TzShowApp::ApplyShowMode() {
  forms::TForm& form = OwningForm();
  form.SetWindowState(StateForShowMode(System().StartupShowMode()));
  if (form.WindowState() != forms::TWindowState::Minimized) return;
  forms::TApplication& app = App();
  app.Minimize();
  app.SetShowMainForm(false);
  // When the user restores the program its main form appears; the previous handler returns.
  app.OnRestore = [&app, previous = app.OnRestore] {
    app.OnRestore = previous;
    if (forms::TForm* main = app.MainForm()) {
      main->Show();
      main->SetWindowState(forms::TWindowState::Normal);
    }
  };
}

void TzShowApp::ApplyTaskbar() {
  if (showOnStatusBar_) return;
  forms::ApplicationWindow& window = App().Window();
  window.visible = false;
  if (showNonOnStatusBar_) window.exStyle |= forms::ws_ex::ToolWindow | forms::ws_ex::Topmost;
}

void TzShowApp::GuardSingleInstance() {
  platform::Processes& processes = platform::CurrentMachine().processes();
  const std::string path = Program().ModulePath();
  if (onlyOneInstance_) instanceMessage_ = processes.RegisterMessage(path + "_Afslut");
  std::string semaphore = path;
  std::replace(semaphore.begin(), semaphore.end(), '\\', '+');
  bool existed = false;
  processes.CreateNamedSemaphore(semaphore, 0, 1, existed);
  if (!existed || !onlyOneInstance_) return;
  secondInstance_ = true;
  forms::TForm& form = OwningForm();
  form.SetLeft(-form.Width());
  bool bringFirstInstanceToFront = true;
  if (OnSecondInstance) OnSecondInstance(bringFirstInstanceToFront);
  if (bringFirstInstanceToFront) processes.Broadcast(instanceMessage_);
  App().Terminate();
}

bool TzShowApp::HandleMessage(forms::Message& message) {
  switch (message.msg) {
    case forms::wm::QueryEndSession: {
      if (!OwnerIsMainForm()) return false;
      bool doEnd = true;
      if (OnAskEndSession) OnAskEndSession(doEnd);
      message.result = doEnd ? 1 : 0;
      return true;
    }
    case forms::wm::EndSession:
      if (OwnerIsMainForm() && message.wParam != 0 && OnEndSession) OnEndSession();
      return false;
    case forms::wm::WindowPosChanged: {
      const auto* position = reinterpret_cast<const forms::WindowPos*>(message.lParam);
      forms::TForm* main = App().MainForm();
      if (position && main && !App().Minimized() && position->cx > 0 && position->cy > 0) {
        main->SetBounds(position->x, position->y, main->Width(), main->Height());
      }
      return false;
    }
    default:
      break;
  }
  if (!onlyOneInstance_ || secondInstance_ || instanceMessage_ == 0 ||
      message.msg != instanceMessage_) {
    return false;
  }
  if (OnAnotherInstance) OnAnotherInstance();
  if (OwnerIsMainForm()) BringToFront();
  return true;
}

bool TzShowApp::OwnerIsMainForm() const {
  for (forms::TComponent* owner = Owner(); owner; owner = owner->Owner()) {
    if (auto* form = dynamic_cast<forms::TForm*>(owner)) return form == App().MainForm();
  }
  return false;
}

void TzShowApp::BringToFront() {
  forms::TApplication& app = App();
  app.Restore();
  forms::TForm& form = OwningForm();
  if (form.WindowState() == forms::TWindowState::Minimized) {
    form.SetWindowState(forms::TWindowState::Normal);
  }
  if (forms::TForm* popup = app.ActiveForm();
      popup && popup->WindowState() == forms::TWindowState::Minimized) {
    popup->SetWindowState(forms::TWindowState::Normal);
  }
  form.BringToFront();
  app.BringToFront();
}

}  // namespace sysinfo
