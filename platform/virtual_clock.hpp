#pragma once
// A clock that only moves when asked: Sleep and Advance move it at once, and every reading of
// the tick counter moves it one millisecond, so that a busy-wait on the ticks ends without
// real waiting. Dates start at a given local time; the time-stamp counter follows the virtual
// time at the processor speed given.
#include <atomic>
#include <cstdint>

#include "platform/clock.hpp"

namespace platform {

class VirtualClock : public Clock {
 public:
  VirtualClock(const LocalTime& start, std::uint32_t megahertz);
  std::uint32_t TickCount() override;
  std::uint64_t TimeStampCounter() override;
  void Sleep(std::uint32_t milliseconds) override { Advance(milliseconds); }
  LocalTime Now() override;
  FileTime NowAsFileTime() override;
  bool IsVirtual() const override { return true; }
  void Advance(std::uint32_t milliseconds) override;

  // Milliseconds of virtual time since the clock started.
  std::uint64_t Elapsed() const { return elapsed_.load(); }

 private:
  FileTime start_;
  std::uint32_t megahertz_;
  std::atomic<std::uint64_t> elapsed_{0};
};

}  // namespace platform
