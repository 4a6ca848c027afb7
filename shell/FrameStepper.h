#pragma once

#include <algorithm>

#include "platform/Clock.h"
#include "platform/FrameTimer.h"

// The frame time: each frame's reading of the frame timer and the time
// since the one before, and the steps in which time passed unseen is
// stepped through.
class FrameStepper {
 public:
  explicit FrameStepper(const Clock& clock) : m_timer(clock) {}

  // The frame time counts from here.
  void Init() { m_timer.Init(); }
  double Now() const { return m_timer.Now(); }
  // A new frame: the time since the last one in ms, waiting until the
  // reading moves; the reading itself goes to `reading`. The first frame
  // counts from its own first reading.
  float Next(double& reading);

  // Steps `left` ms through `step(dt)` as a watched game would have, in
  // steps of one display `period`, or longer ones when a wake comes long
  // overdue (a suspended machine) rather than millions of them; stops early
  // when `step` returns false.
  template <typename Step>
  static void Rest(float left, float period, Step step) {
    period = std::max(period, left / kMostRestSteps);
    do {
      const float dt = left < period ? left : period;
      if (!step(dt)) return;
      left -= dt;
    } while (left > 0.0f);
  }

 private:
  // At most this many steps in one rest: ten seconds of a 60 Hz display.
  static constexpr float kMostRestSteps = 600.0f;

  FrameTimer m_timer;
  // Readings are kept in double milliseconds: a float would step in whole
  // milliseconds and more after a few hours of running.
  double m_previousReading = 0.0;
  bool m_started = false;
};
