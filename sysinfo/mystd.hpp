#pragma once
// TzShowApp: the system-information component. Dropped on a form, it reports facts about the
// machine (Windows kind and version, processor, screen colours, folders, names, host), mirrors
// properties and events of the application object, and can guard against a second instance
// of the program.
//
//   sysinfo::TzShowApp appinfo{*this, "appinfo"};     // a member of the wizard form
//   ...
//   if (appinfo.WindowKind() == sysinfo::z_95) ...
//   if (appinfo.WindowKind() == sysinfo::z_NT && appinfo.WinVerMajor() == 4) ...
//
// Version and processor facts are measured when the component is made (the processor speed
// waits one second of machine time; on a virtual clock that costs no real time). The start-up
// work (show mode, taskbar, single instance) runs when the owning form has been built.
// Properties are declared in their published order.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/forms/application.hpp"
#include "framework/forms/component.hpp"
#include "sysinfo/processor.hpp"
#include "sysinfo/short_date.hpp"
#include "sysinfo/windows_version.hpp"

namespace sysinfo {

// The component is not on a form.
class ENoForm : public platform::Exception {
 public:
  ENoForm() : platform::Exception("NoForm") {}
};

class TzShowApp : public forms::TComponent {
 public:
  TzShowApp(forms::TComponent& owner, std::string name);
  ~TzShowApp() override;

  int BitsPerColor() const;
  double NumberOfColors() const;
  TzShortDateFormat ShortDate() const { return shortDate_; }
  void SetShortDate(TzShortDateFormat mode);
  std::string WinDir() const;
  std::string SystemDir() const;
  std::string TempDir() const;
  const std::vector<std::string>& EnvironmentLines() const { return environment_; }
  bool OnlyOneInstance() const { return onlyOneInstance_; }
  void SetOnlyOneInstance(bool only) { onlyOneInstance_ = only; }
  WTypes WindowKind() const { return windows_.kind; }
  int WinVerMajor() const { return static_cast<int>(windows_.major); }
  int WinVerMinor() const { return static_cast<int>(windows_.minor); }
  int WinVerBuild() const { return static_cast<int>(windows_.build); }
  std::string WindowsString() const;
  int CPUType() const { return processor_.type; }
  std::string CPUString() const;
  const std::string& CPUVendor() const { return processor_.vendor; }
  bool CPUMMX() const { return processor_.mmx; }
  int CPUStepping() const { return processor_.stepping; }
  int CPUModel() const { return processor_.model; }
  int CPUSpeed() const { return cpuSpeed_; }
  bool UseCmdShow() const { return useCmdShow_; }
  void SetUseCmdShow(bool use) { useCmdShow_ = use; }
  const std::string& HelpFile() const;
  void SetHelpFile(std::string file);
  const std::string& Hint() const;
  void SetHint(std::string hint);
  forms::TColor HintColor() const;
  void SetHintColor(forms::TColor color);
  int HintPause() const;
  void SetHintPause(int ms);
  int HintHidePause() const;
  void SetHintHidePause(int ms);
  bool ShowOnStatusBar() const { return showOnStatusBar_; }
  void SetShowOnStatusBar(bool show) { showOnStatusBar_ = show; }
  bool ShowNonOnStatusBar() const { return showNonOnStatusBar_; }
  void SetShowNonOnStatusBar(bool show) { showNonOnStatusBar_ = show; }
  bool ShowMainForm() const;
  void SetShowMainForm(bool show);
  std::string ComputerName() const;
  std::string UserName() const;
  std::string IPHostName() const;
  std::string IPHostAddress() const;
  bool EnabledHostInfo() const { return enabledHostInfo_; }
  void SetEnabledHostInfo(bool enabled) { enabledHostInfo_ = enabled; }
  const forms::TPicture& Icon() const;
  void SetIcon(const forms::TPicture& icon);
  bool ShowHint() const;
  void SetShowHint(bool show);
  const std::string& Title() const;
  void SetTitle(std::string title);

  // Application and screen events, forwarded to the objects that fire them.
  void SetOnActivate(forms::NotifyEvent handler);
  void SetOnDeActivate(forms::NotifyEvent handler);
  void SetOnExecption(std::function<void(const std::exception&)> handler);
  void SetOnHelp(std::function<bool(std::uint16_t, std::intptr_t, bool&)> handler);
  void SetOnHint(forms::NotifyEvent handler);
  void SetOnIdle(std::function<void(bool&)> handler);
  void SetOnMessage(std::function<void(forms::Message&, bool&)> handler);
  void SetOnMinimize(forms::NotifyEvent handler);
  void SetOnRestore(forms::NotifyEvent handler);
  void SetOnActiveControlChange(forms::NotifyEvent handler);
  void SetOnActiveFormChange(forms::NotifyEvent handler);
  void SetOnShowHint(std::function<void(std::string&, bool&)> handler);

  // Own events.
  std::function<void(bool& doEnd)> OnAskEndSession;
  forms::NotifyEvent OnEndSession;
  std::function<void(bool& bringFirstInstanceToFront)> OnSecondInstance;
  forms::NotifyEvent OnAnotherInstance;

  // The form the component sits on: the first form up the owner chain (ENoForm otherwise).
  forms::TForm& OwningForm() const;
  // This run found another instance already running (only with OnlyOneInstance).
  bool IsSecondInstance() const { return secondInstance_; }
  // The message number registered for the single-instance guard (0 until registered).
  std::uint32_t InstanceMessage() const { return instanceMessage_; }

  void Loaded() override;

 private:
  void ApplyShowMode();
  void ApplyTaskbar();
  void GuardSingleInstance();
  bool HandleMessage(forms::Message& message);
  bool OwnerIsMainForm() const;
  void BringToFront();

  WindowsVersion windows_;
  ProcessorIdentity processor_;
  int cpuSpeed_ = 0;
  std::vector<std::string> environment_;
  std::string originalShortDate_;
  TzShortDateFormat shortDate_ = sdfDontTouch;
  bool onlyOneInstance_ = false;
  bool useCmdShow_ = false;
  bool showOnStatusBar_ = true;
  bool showNonOnStatusBar_ = false;
  bool enabledHostInfo_ = false;
  bool secondInstance_ = false;
  std::uint32_t instanceMessage_ = 0;
  int hookId_ = 0;
};

}  // namespace sysinfo
