#pragma once

#include <cstdint>

#include "platform/Clock.h"

// Milliseconds since Init, from the high-resolution counter when there is
// one, else from the millisecond clock.
class FrameTimer {
 public:
  FrameTimer() = default;
  explicit FrameTimer(const Clock& clock) : m_clock(&clock) {}
  virtual ~FrameTimer() = default;

  void UseClock(const Clock& clock) { m_clock = &clock; }
  void Init();
  double Now() const;

 private:
  std::int64_t m_frequency = 0;
  std::int64_t m_start = 0;
  float m_resolution = 0.0f;
  bool m_usePerformanceCounter = false;
  const Clock* m_clock = &SystemClock::Instance();
};
