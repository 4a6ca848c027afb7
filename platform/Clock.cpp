#include "platform/Clock.h"

#include <time.h>

#include <cerrno>

namespace {
std::int64_t MonotonicNanoseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
}  // namespace

bool SystemClock::CounterFrequency(std::int64_t& frequency) const {
  frequency = 1000000000;
  return true;
}

std::int64_t SystemClock::Counter() const { return MonotonicNanoseconds(); }

std::uint32_t SystemClock::Milliseconds() const {
  return static_cast<std::uint32_t>(MonotonicNanoseconds() / 1000000);
}

void SystemClock::Sleep(std::uint32_t milliseconds) const {
  timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
  while (nanosleep(&ts, &ts) != 0) {
  }
}

void SystemClock::SleepUntil(std::int64_t count) const {
  // An absolute deadline on the same monotonic clock: a late wake-up does not
  // move the next one.
  const timespec until{static_cast<time_t>(count / 1000000000), static_cast<long>(count % 1000000000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

const SystemClock& SystemClock::Instance() {
  static const SystemClock clock;
  return clock;
}
