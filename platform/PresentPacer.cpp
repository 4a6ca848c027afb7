#include "platform/PresentPacer.h"

PresentPacer::PresentPacer(const Clock& clock) : m_clock(clock) {
  if (!m_clock.CounterFrequency(m_frequency)) m_frequency = 0;
}

void PresentPacer::Anchor(std::int64_t now, int refreshHz) {
  m_refreshHz = refreshHz;
  m_anchor = now;
  m_periods = 0;
}

void PresentPacer::AfterSwap(int refreshHz) {
  if (m_frequency <= 0) return;
  if (refreshHz <= 0) refreshHz = kDefaultRefreshHz;
  const std::int64_t now = m_clock.Counter();
  if (refreshHz != m_refreshHz) {
    Anchor(now, refreshHz);
    return;
  }
  // The deadlines are computed from the anchor, never summed, so that a
  // period of a fractional count does not drift.
  const auto release = [&](std::int64_t periods) { return m_anchor + periods * m_frequency / m_refreshHz; };
  const std::int64_t previous = release(m_periods);
  const std::int64_t period = release(m_periods + 1) - previous;
  // Three quarters of a period: far enough from a whole one that a swap
  // released by the display, late by some scheduling jitter, still counts
  // as having waited.
  if ((now - previous) * 4 >= period * 3) {
    Anchor(now, refreshHz);
    return;
  }
  ++m_periods;
  m_clock.SleepUntil(previous + period);
}
