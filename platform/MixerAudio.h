#pragma once

#include "platform/AudioLayer.h"

// The audio layer on SDL2_mixer: streams are mixer music, the sample a
// chunk on one channel of its own.
class MixerAudio final : public AudioLayer {
 public:
  MixerAudio() = default;
  ~MixerAudio() override;
  MixerAudio(const MixerAudio&) = delete;
  MixerAudio& operator=(const MixerAudio&) = delete;

  bool Initialise(int device, int rate, unsigned flags, const void* window) override;
  bool Start() override;
  bool Stop() override;
  bool Free() override;
  AudioHandle LoadSample(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                         int maxPlaybacks, unsigned flags) override;
  std::uint32_t PlaySample(AudioHandle sample) override;
  bool FreeSample(AudioHandle sample) override;
  AudioHandle CreateFileStream(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                               unsigned flags) override;
  bool PlayStream(AudioHandle stream, bool flush, unsigned flags) override;
};
