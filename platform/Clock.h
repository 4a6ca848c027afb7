#pragma once

#include <cstdint>

// The clocks the game reads, and its one pause. The system clock reads the
// monotonic high-resolution counter; tests substitute their own.
class Clock {
 public:
  virtual ~Clock() = default;
  // Counts per second of the high-resolution counter; false when there is none.
  virtual bool CounterFrequency(std::int64_t& frequency) const = 0;
  virtual std::int64_t Counter() const = 0;
  // The millisecond clock used when no high-resolution counter exists.
  virtual std::uint32_t Milliseconds() const = 0;
  virtual void Sleep(std::uint32_t milliseconds) const = 0;
  // Sleeps until the high-resolution counter reaches `count`; returns at
  // once when it already has.
  virtual void SleepUntil(std::int64_t count) const = 0;
};

class SystemClock final : public Clock {
 public:
  bool CounterFrequency(std::int64_t& frequency) const override;
  std::int64_t Counter() const override;
  std::uint32_t Milliseconds() const override;
  void Sleep(std::uint32_t milliseconds) const override;
  void SleepUntil(std::int64_t count) const override;
  // A stateless instance for objects that are not handed a clock.
  static const SystemClock& Instance();
};
