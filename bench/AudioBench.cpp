#include <benchmark/benchmark.h>

#include <cstdlib>

#include "audio/SoundBank.h"
#include "platform/MixerAudio.h"

namespace {

// Sound start-up as the game makes it: device, sample and both streams,
// then the release, on SDL's dummy output.
void BM_SoundBankInitAndRelease(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  for (auto _ : state) {
    MixerAudio audio;
    SoundBank bank(audio);
    bank.Init(nullptr);
  }
}
BENCHMARK(BM_SoundBankInitAndRelease)->Unit(benchmark::kMillisecond);

}  // namespace
