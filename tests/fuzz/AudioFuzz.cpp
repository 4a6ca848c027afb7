// File bytes -> the audio layer's sample and stream loads, as the sound bank
// makes them, and both played. The sample load decodes the whole file at
// once; the stream is decoded by the mixer while it plays, so the input waits
// for the (fast, silent) audio device to run through it.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstdlib>

#include "platform/MixerAudio.h"
#include "tests/fuzz/FuzzInput.h"

namespace {
FuzzInput* input = nullptr;
void Quiet(void*, int, SDL_LogPriority, const char*) {}
// How long a stream may play per input: enough for the seed files, short
// enough to keep the fuzzer fast.
constexpr Uint32 kStreamMilliseconds = 50;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The disk driver without its pacing delay mixes as fast as it can, into
  // nothing.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  SDL_LogSetOutputFunction(Quiet, nullptr);  // the disk driver announces itself at every open
  if (SDL_Init(0) != 0) std::abort();
  input = new FuzzInput();  // lives as long as the process
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!input->Write(data, size)) std::abort();
  MixerAudio audio;
  if (!audio.Initialise(-1, 44100, 0, nullptr)) std::abort();
  const AudioHandle sample = audio.LoadSample(false, input->Path(), 0, 0, 1, 0);
  if (sample != 0) {
    audio.PlaySample(sample);
    audio.FreeSample(sample);
  }
  const AudioHandle stream = audio.CreateFileStream(false, input->Path(), 0, 0, 0);
  if (stream != 0 && audio.PlayStream(stream, true, 0)) {
    const Uint32 start = SDL_GetTicks();
    while (Mix_PlayingMusic() && SDL_GetTicks() - start < kStreamMilliseconds) SDL_Delay(1);
  }
  audio.Free();
  return 0;
}
