#pragma once
// The machine clock: one source for ticks, the time-stamp counter, sleeping, the local date
// and time and file times. Real by default; virtual in scripted runs, where sleeping and
// reading the tick counter move time forward instead of waiting.
#include <cstdint>

#include "platform/win_types.hpp"

namespace platform {

struct LocalTime {                                  // SYSTEMTIME
  int year = 0, month = 0, dayOfWeek = 0, day = 0;  // dayOfWeek: 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint32_t TickCount() = 0;         // GetTickCount: ms since start
  virtual std::uint64_t TimeStampCounter() = 0;  // rdtsc: cycles at the processor's speed
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual LocalTime Now() = 0;           // GetLocalTime
  virtual FileTime NowAsFileTime() = 0;  // GetSystemTimeAsFileTime (UTC)
  virtual bool IsVirtual() const = 0;
  // Moves a virtual clock forward; ignored by a real one.
  virtual void Advance(std::uint32_t milliseconds) = 0;
};

// FILETIME <-> local calendar time, in the machine's time zone (UTC on a simulated machine).
LocalTime FileTimeToLocal(FileTime time);
FileTime LocalToFileTime(const LocalTime& time);

}  // namespace platform
