#include <gtest/gtest.h>

#include "platform/FrameTimer.h"
#include "tests/support/FakeDesktop.h"

namespace {
// A machine without a high-resolution counter: only whole milliseconds.
class MillisecondClock final : public Clock {
 public:
  bool CounterFrequency(std::int64_t&) const override { return false; }
  std::int64_t Counter() const override { return 0; }
  std::uint32_t Milliseconds() const override { return ms; }
  void Sleep(std::uint32_t milliseconds) const override { ms += milliseconds; }
  void SleepUntil(std::int64_t) const override {}
  mutable std::uint32_t ms = 5000;
};
}  // namespace

TEST(FrameTimer, FallbackClockReadsWholeMilliseconds) {
  MillisecondClock clock;
  FrameTimer timer(clock);
  timer.Init();
  EXPECT_EQ(timer.Now(), 0.0);
  EXPECT_EQ(timer.Now(), timer.Now()) << "two readings in the same millisecond are equal";
  clock.ms += 7;
  // Scaled by the float resolution 0.001f: within one part in 2^23 of 7.
  EXPECT_EQ(timer.Now(), 7.0 * static_cast<double>(0.001f) * 1000.0);
  EXPECT_NEAR(timer.Now(), 7.0, 7.0 / (1 << 23));
}

TEST(FrameTimer, CounterScalesByTheFloatResolution) {
  ScriptedClock clock;
  clock.step = 0;
  FrameTimer timer(clock);
  timer.Init();
  clock.now += 1500000;  // 1.5 s at 1 MHz
  const double expected = 1500000.0 * static_cast<double>(static_cast<float>(1.0 / 1000000.0)) * 1000.0;
  EXPECT_EQ(timer.Now(), expected);
  EXPECT_NEAR(timer.Now(), 1500.0, 1500.0 / (1 << 23));
}

TEST(FrameTimer, SystemClockStartsNearZeroAndGrows) {
  FrameTimer timer;
  timer.Init();
  const double first = timer.Now();
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 50.0);
  double later = timer.Now();
  while (later == first) later = timer.Now();
  EXPECT_GT(later, first);
}
