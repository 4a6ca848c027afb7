#include "platform/FrameTimer.h"

void FrameTimer::Init() {
  if (m_clock->CounterFrequency(m_frequency)) {
    m_usePerformanceCounter = true;
    m_start = m_clock->Counter();
    m_resolution = static_cast<float>(1.0 / static_cast<double>(m_frequency));
  } else {
    m_usePerformanceCounter = false;
    m_start = static_cast<std::int64_t>(m_clock->Milliseconds());
    m_frequency = 1000;
    m_resolution = static_cast<float>(1.0 / 1000.0);
  }
}

double FrameTimer::Now() const {
  const std::int64_t count =
      m_usePerformanceCounter ? m_clock->Counter() : static_cast<std::int64_t>(m_clock->Milliseconds());
  const std::int64_t elapsed = count - m_start;
  return static_cast<double>(elapsed) * static_cast<double>(m_resolution) * 1000.0;
}
