#include "platform/native/host_file_time.hpp"

namespace platform {
namespace {
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr std::int64_t kStepsPerSecond = 10'000'000;
constexpr std::int64_t kNanosecondsPerStep = 100;
}  // namespace

FileTime FileTimeFromHost(const timespec& time) {
  const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kSecondsFrom1601To1970;
  if (seconds < 0) return 0;
  return static_cast<FileTime>(seconds) * kStepsPerSecond +
         static_cast<FileTime>(time.tv_nsec / kNanosecondsPerStep);
}

timespec HostTimeFromFileTime(FileTime time) {
  timespec result{};
  result.tv_sec = static_cast<time_t>(static_cast<std::int64_t>(time / kStepsPerSecond) -
                                      kSecondsFrom1601To1970);
  result.tv_nsec = static_cast<long>((time % kStepsPerSecond) * kNanosecondsPerStep);
  return result;
}

}  // namespace platform
