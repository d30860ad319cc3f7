#include "framework/forms/timer.hpp"

#include "framework/forms/application.hpp"
#include "platform/clock.hpp"

namespace forms {

TTimer::TTimer(TComponent& owner, std::string name) : TComponent(&owner, std::move(name)) {
  Application().RegisterTimer(*this);
  Restart();
}

TTimer::~TTimer() {
  if (HasApplication()) Application().UnregisterTimer(*this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) Restart();
}

void TTimer::SetInterval(std::uint32_t milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Restart();
}

bool TTimer::Running() const {
  return enabled_ && interval_ > 0 && OnTimer != nullptr;
}

void TTimer::Fire() {
  Restart();  // before the handler, which may stop the timer
  if (OnTimer) OnTimer();
}

void TTimer::Restart() {
  dueAt_ = Application().Clock().TickCount() + interval_;
}

}  // namespace forms
