#include "platform/virtual_clock.hpp"

namespace platform {
namespace {
constexpr std::uint64_t kFileTimeTicksPerMillisecond = 10000;
}

VirtualClock::VirtualClock(const LocalTime& start, std::uint32_t megahertz)
    : start_(LocalToFileTime(start)), megahertz_(megahertz) {}

std::uint32_t VirtualClock::TickCount() {
  return static_cast<std::uint32_t>(elapsed_.fetch_add(1));
}

std::uint64_t VirtualClock::TimeStampCounter() {
  return elapsed_.load() * 1000 * megahertz_;
}

void VirtualClock::Advance(std::uint32_t milliseconds) {
  elapsed_.fetch_add(milliseconds);
}

LocalTime VirtualClock::Now() {
  return FileTimeToLocal(NowAsFileTime());
}

FileTime VirtualClock::NowAsFileTime() {
  return start_ + elapsed_.load() * kFileTimeTicksPerMillisecond;
}

}  // namespace platform
