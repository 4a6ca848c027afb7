#include "platform/MixerAudio.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/AssetPath.h"
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
bool WaveLooksSane(int fd, std::uint64_t fileSize) {
  unsigned char head[12] = {};
  if (pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return true;
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0) return true;
  std::uint64_t offset = sizeof head;
  while (offset + 8 <= fileSize) {
    unsigned char chunk[8] = {};
    if (pread(fd, chunk, sizeof chunk, static_cast<off_t>(offset)) != static_cast<ssize_t>(sizeof chunk)) return false;
    const std::uint64_t size = ReadLittle32(chunk + 4);
    offset += sizeof chunk;
    if (size > fileSize - offset) return false;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      unsigned char format[14] = {};
      if (size < sizeof format ||
          pread(fd, format, sizeof format, static_cast<off_t>(offset)) != static_cast<ssize_t>(sizeof format)) {
        return false;
      }
      const unsigned channels = ReadLittle16(format + 2);
      const std::uint32_t rate = ReadLittle32(format + 4);
      const unsigned blockAlign = ReadLittle16(format + 12);
      if (channels < 1 || channels > 8 || rate == 0 || blockAlign == 0) return false;
    }
    offset += size + (size & 1);  // chunks start on even offsets
  }
  return true;
}

}  // namespace

// Opens an asset for reading as an SDL stream, but only a regular file: a
// named pipe or a device would block the game or never end. A WAVE file
// must also be one SDL can read safely. The mixer is never asked to close a
// stream itself: SDL2_mixer 2.6 leaks it on some broken files.
MixerAudio::SourcePtr MixerAudio::OpenRegularFile(const char* path) {
  if (path == nullptr) return nullptr;
  const std::string name = ResolveAssetPath(path);
  if (name.empty()) return nullptr;
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      !WaveLooksSane(fd, static_cast<std::uint64_t>(info.st_size))) {
    close(fd);
    return nullptr;
  }
  FILE* stream = fdopen(fd, "rb");
  if (stream == nullptr) {
    close(fd);
    return nullptr;
  }
  SourcePtr source(SDL_RWFromFP(stream, SDL_TRUE));
  if (!source) std::fclose(stream);
  return source;
}

MixerAudio::~MixerAudio() { Free(); }

bool MixerAudio::Initialise(int, int rate, unsigned, const void*) {
  if (m_open) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  // MP3 must be asked for by name: some builds only offer it after Mix_Init.
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(rate > 0 ? rate : MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, kChunkSize) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  Mix_ReserveChannels(kSampleChannel + 1);
  m_open = true;
  return true;
}

bool MixerAudio::Start() {
  if (!m_open) return false;
  Mix_Resume(-1);
  Mix_ResumeMusic();
  return true;
}

bool MixerAudio::Stop() {
  if (!m_open) return false;
  Mix_HaltMusic();
  Mix_HaltChannel(-1);
  return true;
}

bool MixerAudio::Free() {
  if (!m_open) return false;
  Mix_HaltMusic();
  Mix_HaltChannel(-1);
  m_streams.clear();
  m_samples.clear();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  m_open = false;
  return true;
}

AudioHandle MixerAudio::LoadSample(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                   int, unsigned) {
  // Only whole files are supported.
  if (!m_open || fromMemory || offset != 0 || length != 0) return 0;
  const SourcePtr source = OpenRegularFile(path);
  if (!source) return 0;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(source.get(), 0);
  if (chunk == nullptr) return 0;
  const AudioHandle handle = NextHandle();
  m_samples[handle].reset(chunk);
  return handle;
}

std::uint32_t MixerAudio::PlaySample(AudioHandle sample) {
  if (!m_open) return 0;
  const auto found = m_samples.find(sample);
  if (found == m_samples.end()) return 0;
  // A given channel is taken over: whatever played there stops, and the
  // sample starts from its beginning.
  if (Mix_PlayChannel(kSampleChannel, found->second.get(), 0) < 0) return 0;
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
  SourcePtr source = OpenRegularFile(path);
  if (!source) return 0;
  Mix_Music* music = Mix_LoadMUS_RW(source.get(), 0);
  if (music == nullptr) return 0;
  const AudioHandle handle = NextHandle();
  Stream& stream = m_streams[handle];
  stream.source = std::move(source);
  stream.music.reset(music);
  return handle;
}

bool MixerAudio::PlayStream(AudioHandle stream, bool, unsigned flags) {
  if (!m_open) return false;
  const auto found = m_streams.find(stream);
  if (found == m_streams.end()) return false;
  // The mixer always starts music from the beginning, as a flushed stream.
  const int loops = (flags & PlayLooped) != 0 ? -1 : 1;
  return Mix_PlayMusic(found->second.music.get(), loops) == 0;
}

AudioHandle MixerAudio::NextHandle() {
  ++m_lastHandle;
  if (m_lastHandle == 0) ++m_lastHandle;
  return m_lastHandle;
}
