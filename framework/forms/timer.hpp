#pragma once
// TTimer: fires OnTimer every Interval milliseconds while Enabled (it starts enabled, interval
// 1000). Time is the machine clock as the backend runs it: real time in a terminal, virtual
// time under the script backend, where waiting for a 5000 ms timer costs no real time.
// Re-enabling a timer or changing its interval starts a new interval from now.
//
//   forms::TTimer Timer1{*this, "Timer1"};
//   Timer1.SetInterval(5000);
//   Timer1.OnTimer = [this] { Timer1Timer(); };
#include <cstdint>

#include "framework/forms/component.hpp"
#include "framework/forms/control.hpp"

namespace forms {

class TTimer : public TComponent {
 public:
  TTimer(TComponent& owner, std::string name);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t milliseconds);

  NotifyEvent OnTimer;

  // For the application: the tick count at which the timer is due next, when it runs at all.
  bool Running() const;
  std::uint32_t DueAt() const { return dueAt_; }
  // Fires OnTimer and starts the next interval.
  void Fire();

 private:
  void Restart();
  bool enabled_ = true;
  std::uint32_t interval_ = 1000;
  std::uint32_t dueAt_ = 0;
};

}  // namespace forms
