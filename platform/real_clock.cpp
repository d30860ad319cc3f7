#include "platform/real_clock.hpp"

#include <thread>

namespace platform {
namespace {
// 100 ns intervals from 1 January 1601 to 1 January 1970.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
}  // namespace

RealClock::RealClock(std::uint32_t megahertz)
    : megahertz_(megahertz), started_(std::chrono::steady_clock::now()) {}

std::uint32_t RealClock::TickCount() {
  const auto sinceBoot = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(sinceBoot).count());
}

std::uint64_t RealClock::TimeStampCounter() {
  const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now() - started_)
                           .count();
  const auto nanoseconds = static_cast<std::uint64_t>(elapsed);
  // cycles = ns x MHz / 1000, split so that long runs do not overflow
  return nanoseconds / 1000 * megahertz_ + nanoseconds % 1000 * megahertz_ / 1000;
}

void RealClock::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LocalTime RealClock::Now() {
  return FileTimeToLocal(NowAsFileTime());
}

FileTime RealClock::NowAsFileTime() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100;
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(ticks);
}

}  // namespace platform
