#include <gtest/gtest.h>

#include <vector>

#include "platform/PresentPacer.h"
#include "tests/support/FakeClock.h"

namespace {
// One frame: the time from the previous release to the swap's return (its
// drawing and, where the swap waits for the display, that wait), the refresh
// rate the display reports, and the sleep the pacer should add after it.
struct Frame {
  double busyMs;
  int refreshHz;
  double sleepMs;
};

struct Case {
  const char* name;
  std::vector<Frame> frames;
};

constexpr double kPeriod60 = 1000.0 / 60.0;
constexpr double kPeriod75 = 1000.0 / 75.0;

const Case kCases[] = {
    {"quick frames sleep to the next deadline",
     {{5.0, 60, 0.0}, {5.0, 60, kPeriod60 - 5.0}, {2.0, 60, kPeriod60 - 2.0}, {12.0, 60, kPeriod60 - 12.0}}},
    {"an unknown refresh rate counts as 60 Hz", {{5.0, 0, 0.0}, {5.0, 0, kPeriod60 - 5.0}, {3.0, -1, kPeriod60 - 3.0}}},
    {"the rate comes from the display", {{5.0, 75, 0.0}, {5.0, 75, kPeriod75 - 5.0}, {1.0, 75, kPeriod75 - 1.0}}},
    {"an overrun re-anchors at its end, without a sleep",
     {{5.0, 60, 0.0}, {5.0, 60, kPeriod60 - 5.0}, {40.0, 60, 0.0}, {4.0, 60, kPeriod60 - 4.0}}},
    {"a frame just short of a period is taken as released by the display",
     {{5.0, 60, 0.0}, {13.0, 60, 0.0}, {2.0, 60, kPeriod60 - 2.0}}},
    {"a swap that waits for the display adds no sleep",
     {{5.0, 60, 0.0}, {kPeriod60, 60, 0.0}, {kPeriod60 - 1.5, 60, 0.0}, {kPeriod60 + 1.5, 60, 0.0},
      {2 * kPeriod60, 60, 0.0}}},
    {"a new refresh rate starts a new grid",
     {{5.0, 60, 0.0}, {5.0, 60, kPeriod60 - 5.0}, {5.0, 75, 0.0}, {5.0, 75, kPeriod75 - 5.0}}},
};
}  // namespace

TEST(PresentPacer, SleepsOnlyWhenTheSwapDidNotWait) {
  for (const Case& c : kCases) {
    FakeClock clock;
    clock.SetCounter(123'456'789);
    PresentPacer pacer(clock);
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      const Frame& frame = c.frames[i];
      clock.AdvanceMs(frame.busyMs);
      const std::int64_t swapped = clock.Counter();
      pacer.AfterSwap(frame.refreshHz);
      const double sleptMs = static_cast<double>(clock.Counter() - swapped) / 1000.0;
      EXPECT_NEAR(sleptMs, frame.sleepMs, 0.002) << c.name << ", frame " << i;
    }
  }
}

TEST(PresentPacer, DeadlinesDoNotDrift) {
  // 60 Hz is 16666.67 counts of this clock: a period rounded once and summed
  // would be 0.2 ms off after ten seconds.
  FakeClock clock;
  PresentPacer pacer(clock);
  pacer.AfterSwap(60);
  for (int frame = 1; frame <= 600; ++frame) {
    clock.AdvanceMs(3.0 + (frame % 7));  // drawing times that vary
    pacer.AfterSwap(60);
  }
  EXPECT_EQ(clock.Counter(), 10 * FakeClock::kFrequency);
}
