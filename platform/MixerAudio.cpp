#include "platform/MixerAudio.h"

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "platform/AssetFile.h"
#include "platform/Diagnostics.h"
#include "platform/QuietStderr.h"
#include "platform/LittleEndian.h"

namespace {

// The one mixer channel the sample plays on: a new play takes it over.
constexpr int kSampleChannel = 0;
constexpr int kChunkSize = 1024;

// SDL's WAVE readers trust the file: a chunk's claimed size is allocated
// before it is read (a broken header can ask for gigabytes), and a format
// with more than 255 channels wraps round to none and divides by zero. A
// RIFF WAVE file is let through only when every chunk it declares fits in
// the file and its format has 1 to 8 channels (what SDL can play), a sample
// rate and a block size. Other files are left to the decoders.
bool WaveLooksSane(const AssetFile& file) {
  const std::uint64_t fileSize = file.Size();
  unsigned char head[12] = {};
  if (file.ReadAt(0, head, sizeof head) != sizeof head) return true;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return true;
  std::uint64_t offset = sizeof head;
  while (offset + 8 <= fileSize) {
    unsigned char chunk[8] = {};
    if (file.ReadAt(offset, chunk, sizeof chunk) != sizeof chunk) return false;
    const std::uint64_t size = ReadLittle32(chunk + 4);
    offset += sizeof chunk;
    if (size > fileSize - offset) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      unsigned char format[14] = {};
      if (size < sizeof format || file.ReadAt(offset, format, sizeof format) != sizeof format) return false;
      const unsigned channels = ReadLittle16(format + 2);
      const std::uint32_t rate = ReadLittle32(format + 4);
      const unsigned blockAlign = ReadLittle16(format + 12);
      if (channels < 1 || channels > 8 || rate == 0 || blockAlign == 0) return false;
    }
    offset += size + (size & 1);  // chunks start on even offsets
  }
  return true;
}

constexpr const char* kNotASound = "not a sound the game can play";

}  // namespace

// Opens an asset for the mixer: a regular file, and, when it is a WAVE file,
// one SDL can read safely. The mixer is never asked to close a stream
// itself: SDL2_mixer 2.6 leaks it on some broken files.
SdlStream MixerAudio::OpenSource(const char* path) { return AssetFile::Open(path, WaveLooksSane, kNotASound); }

MixerAudio::~MixerAudio() { Free(); }

bool MixerAudio::Initialise(int, int rate, unsigned, const void*) {
  if (m_open) return false;
  if (!m_mix.Load()) {
    Diagnostics::Error("no sound: the sound mixer library (SDL2_mixer) cannot be loaded");
    return false;
  }
  // The sound libraries print their own noise when there is no device; the
  // game says it once, in one line of its own, when standard error is back.
  std::optional<std::string> failure;
  {
    const QuietStderr quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      failure = SDL_GetError();
    } else {
      // MP3 must be asked for by name: some builds only offer it after Mix_Init.
      m_mix.Init(MIX_INIT_MP3);
      if (m_mix.OpenAudio(rate > 0 ? rate : MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, kChunkSize) != 0) {
        failure = SDL_GetError();
        m_mix.Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
      }
    }
  }
  if (failure) {
    Diagnostics::Error("no sound: " + *failure);
    return false;
  }
  m_mix.ReserveChannels(kSampleChannel + 1);
  m_open = true;
  return true;
}

bool MixerAudio::Start() {
  if (!m_open) return false;
  m_mix.Resume(-1);
  m_mix.ResumeMusic();
  return true;
}

bool MixerAudio::Stop() {
  if (!m_open) return false;
  m_mix.HaltMusic();
  m_mix.HaltChannel(-1);
  return true;
}

bool MixerAudio::Free() {
  if (!m_open) return false;
  m_mix.HaltMusic();
  m_mix.HaltChannel(-1);
  m_streams.clear();
  m_samples.clear();
  m_mix.CloseAudio();
  m_mix.Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  m_open = false;
  return true;
}

AudioHandle MixerAudio::LoadSample(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                   int, unsigned) {
  // Only whole files are supported.
  if (!m_open || fromMemory || offset != 0 || length != 0) return 0;
  const SdlStream source = OpenSource(path);
  if (!source) return 0;
  Mix_Chunk* chunk = m_mix.LoadWAV_RW(source.get(), 0);
  if (chunk == nullptr) {
    AssetFile::ReportUnusable(path, kNotASound);
    return 0;
  }
  const AudioHandle handle = NextHandle();
  m_samples[handle] = std::unique_ptr<Mix_Chunk, ChunkDeleter>(chunk, ChunkDeleter{m_mix.FreeChunk});
  return handle;
}

std::uint32_t MixerAudio::PlaySample(AudioHandle sample) {
  if (!m_open) return 0;
  const auto found = m_samples.find(sample);
  if (found == m_samples.end()) return 0;
  // A given channel is taken over: whatever played there stops, and the
  // sample starts from its beginning.
  if (m_mix.PlayChannel(kSampleChannel, found->second.get(), 0) < 0) return 0;
  return static_cast<std::uint32_t>(kSampleChannel + 1);
}

bool MixerAudio::FreeSample(AudioHandle sample) {
  const auto found = m_samples.find(sample);
  if (found == m_samples.end()) return false;
  m_samples.erase(found);  // Mix_FreeChunk halts any channel still playing it
  return true;
}

AudioHandle MixerAudio::CreateFileStream(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                         unsigned) {
  if (!m_open || fromMemory || offset != 0 || length != 0) return 0;
  SdlStream source = OpenSource(path);
  if (!source) return 0;
  Mix_Music* music = m_mix.LoadMUS_RW(source.get(), 0);
  if (music == nullptr) {
    AssetFile::ReportUnusable(path, kNotASound);
    return 0;
  }
  const AudioHandle handle = NextHandle();
  Stream& stream = m_streams[handle];
  stream.source = std::move(source);
  stream.music = std::unique_ptr<Mix_Music, MusicDeleter>(music, MusicDeleter{m_mix.FreeMusic});
  return handle;
}

bool MixerAudio::PlayStream(AudioHandle stream, bool, unsigned flags) {
  if (!m_open) return false;
  const auto found = m_streams.find(stream);
  if (found == m_streams.end()) return false;
  // The mixer always starts music from the beginning, as a flushed stream.
  const int loops = (flags & PlayLooped) != 0 ? -1 : 1;
  return m_mix.PlayMusic(found->second.music.get(), loops) == 0;
}

AudioHandle MixerAudio::NextHandle() {
  ++m_lastHandle;
  if (m_lastHandle == 0) ++m_lastHandle;
  return m_lastHandle;
}
