#pragma once

#include "platform/AudioLayer.h"

// The game's sounds: the jump sample and the two music streams.
class SoundBank {
 public:
  explicit SoundBank(AudioLayer& layer) : m_layer(&layer) {}
  virtual ~SoundBank();
  SoundBank(const SoundBank&) = delete;
  SoundBank& operator=(const SoundBank&) = delete;

  void Init(const void* window);
  void PlayStream(int index, bool loop);
  void PlaySample(int index);
  void RestartOutput(int index);

 private:
  AudioLayer* m_layer;
  AudioHandle m_sample = 0;
  AudioHandle m_streams[2] = {0, 0};
  bool m_loaded = false;
};
