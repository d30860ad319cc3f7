#pragma once
// The host's own time: ticks from a monotonic clock, dates from the system clock, sleeping
// that really waits. The time-stamp counter runs at the processor speed the machine reports.
#include <chrono>
#include <cstdint>

#include "platform/clock.hpp"

namespace platform {

class RealClock : public Clock {
 public:
  explicit RealClock(std::uint32_t megahertz);
  std::uint32_t TickCount() override;
  std::uint64_t TimeStampCounter() override;
  void Sleep(std::uint32_t milliseconds) override;
  LocalTime Now() override;
  FileTime NowAsFileTime() override;
  bool IsVirtual() const override { return false; }
  void Advance(std::uint32_t) override {}

 private:
  std::uint32_t megahertz_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace platform
