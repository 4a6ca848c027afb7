#pragma once

#include <SDL_mixer.h>

#include <map>
#include <memory>

#include "platform/AssetFile.h"
#include "platform/AudioLayer.h"
#include "platform/MixerLibrary.h"

// The audio layer on SDL2_mixer: streams are mixer music, the sample a
// chunk on one channel of its own. Handles are small nonzero numbers handed
// out by this object; 0 stands for a failed load.
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

 private:
  struct ChunkDeleter {
    decltype(&Mix_FreeChunk) free;
    void operator()(Mix_Chunk* chunk) const { free(chunk); }
  };
  struct MusicDeleter {
    decltype(&Mix_FreeMusic) free;
    void operator()(Mix_Music* music) const { free(music); }
  };
  // Music reads its file while it plays, so the file stays open as long as
  // the music: the music goes first (members are destroyed last to first).
  struct Stream {
    SdlStream source;
    std::unique_ptr<Mix_Music, MusicDeleter> music;
  };

  static SdlStream OpenSource(const char* path);

  AudioHandle NextHandle();

  MixerLibrary m_mix;  // first, so that it outlives the chunks and music below
  bool m_open = false;
  AudioHandle m_lastHandle = 0;
  std::map<AudioHandle, std::unique_ptr<Mix_Chunk, ChunkDeleter>> m_samples;
  std::map<AudioHandle, Stream> m_streams;
};
