#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/AudioLayer.h"

// Records every audio call as text, e.g. "PlayStream(12,1,4)".
class FakeAudio final : public AudioLayer {
 public:
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

  int Count(const std::string& prefix) const;

  std::vector<std::string> calls;
  // What a listener would hear: the stream that plays now (0: none), the
  // file it was made from and whether it loops.
  AudioHandle playing = 0;
  bool playingLooped = false;
  std::string PlayingPath() const;

 private:
  std::map<AudioHandle, std::string> m_streamPaths;
  AudioHandle nextHandle = 10;
};
