#pragma once

#include <cstdint>

#include "platform/Clock.h"

// Holds presentation to the display's refresh when swapping does not wait
// for it (a driver without vsync, a software renderer): after a swap that
// came well within a refresh period of the previous frame's release, it
// sleeps until the next refresh deadline. Deadlines lie on a grid of whole
// periods from an anchor, so the rate does not drift; a frame that took
// longer re-anchors the grid at its end. Where the swap itself waits for the
// display, frames arrive a whole period apart and nothing is added.
class PresentPacer {
 public:
  static constexpr int kDefaultRefreshHz = 60;

  explicit PresentPacer(const Clock& clock);

  // Call right after each swap returns, with the display's refresh rate in
  // Hz (0 or less when it is not known: 60 Hz is assumed).
  void AfterSwap(int refreshHz);

 private:
  void Anchor(std::int64_t now, int refreshHz);

  const Clock& m_clock;
  std::int64_t m_frequency = 0;  // counter counts per second; 0 without a counter
  int m_refreshHz = 0;           // rate of the current grid; 0 before the first swap
  std::int64_t m_anchor = 0;     // counter at the grid's origin
  std::int64_t m_periods = 0;    // periods from the anchor to the last release
};
