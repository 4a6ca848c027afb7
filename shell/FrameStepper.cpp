#include "shell/FrameStepper.h"

float FrameStepper::Next(double& reading) {
  if (!m_started) {
    m_previousReading = m_timer.Now();
    m_started = true;
  }
  reading = m_timer.Now();
  while (reading == m_previousReading) reading = m_timer.Now();
  const float dt = static_cast<float>(reading - m_previousReading);
  m_previousReading = reading;
  return dt;
}
