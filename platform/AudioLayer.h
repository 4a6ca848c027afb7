#pragma once

#include <cstdint>

// The audio library the sound bank talks to: nine operations. Handle 0 means
// "nothing loaded"; every operation accepts it and a layer that failed to
// initialise, and then does nothing.
using AudioHandle = std::uint32_t;

class AudioLayer {
 public:
  static constexpr unsigned SampleOverrideVolume = 0x10000;  // a new play takes the busy slot over
  static constexpr unsigned PlayLooped = 4;

  virtual ~AudioLayer() = default;
  // device -1 is the default output device; window is the game window (unused here).
  [[nodiscard]] virtual bool Initialise(int device, int rate, unsigned flags, const void* window) = 0;
  [[nodiscard]] virtual bool Start() = 0;
  [[nodiscard]] virtual bool Stop() = 0;
  [[nodiscard]] virtual bool Free() = 0;
  [[nodiscard]] virtual AudioHandle LoadSample(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                 int maxPlaybacks, unsigned flags) = 0;
  [[nodiscard]] virtual std::uint32_t PlaySample(AudioHandle sample) = 0;
  [[nodiscard]] virtual bool FreeSample(AudioHandle sample) = 0;
  [[nodiscard]] virtual AudioHandle CreateFileStream(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                       unsigned flags) = 0;
  [[nodiscard]] virtual bool PlayStream(AudioHandle stream, bool flush, unsigned flags) = 0;
};
