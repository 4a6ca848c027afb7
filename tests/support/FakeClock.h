#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/Clock.h"

// A clock that moves only when the test moves it: a counter of a million
// counts per second, read by FrameTimer like the real one. Sleep advances it.
class FakeClock final : public Clock {
 public:
  static constexpr std::int64_t kFrequency = 1'000'000;

  bool CounterFrequency(std::int64_t& frequency) const override {
    frequency = kFrequency;
    return true;
  }
  std::int64_t Counter() const override { return m_counter; }
  std::uint32_t Milliseconds() const override { return static_cast<std::uint32_t>(m_counter / (kFrequency / 1000)); }
  void Sleep(std::uint32_t milliseconds) const override { m_counter += static_cast<std::int64_t>(milliseconds) * (kFrequency / 1000); }
  void SleepUntil(std::int64_t count) const override { m_counter = std::max(m_counter, count); }

  void SetCounter(std::int64_t counter) { m_counter = counter; }
  void AdvanceMs(double milliseconds) { m_counter += std::llround(milliseconds * (kFrequency / 1000)); }

 private:
  mutable std::int64_t m_counter = 0;
};
