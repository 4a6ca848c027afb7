#include <benchmark/benchmark.h>

#include "gfx/Texture.h"
#include "tests/support/HeadlessGl.h"

namespace {

// The game's six texture loads, as the scene setup and the snow figure make
// them, on the headless context; glFinish so the upload is counted.
void BM_LoadSixGameTextures(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no headless GL context");
    return;
  }
  const char* paths[] = {"Data/BaumOben.bmp", "Data/BaumStamm.bmp", "Data/Snowflake.bmp",
                         "Data/Flasche.bmp",  "Data/Schneeman.bmp", "Data/Muetze.bmp"};
  Texture textures[6];
  for (auto _ : state) {
    bool ok = true;
    for (int i = 0; i < 6; ++i) ok = textures[i].LoadMipmapped(paths[i], GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false) && ok;
    glFinish();
    if (!ok) {
      state.SkipWithError("a texture failed to load (run from the repository root)");
      return;
    }
  }
}
BENCHMARK(BM_LoadSixGameTextures)->Unit(benchmark::kMillisecond);

}  // namespace
