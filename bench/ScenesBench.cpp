#include <benchmark/benchmark.h>

#include <cstdlib>

#include "gfx/Texture.h"
#include "scenes/FinaleScreen.h"
#include "scenes/Snowfall.h"
#include "tests/support/HeadlessGl.h"

namespace {

// What every frame costs before anything is drawn: clearing the colour and
// depth buffers, finished on the GPU.
void BM_ClearFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  gl.ResetScene();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
  }
}
BENCHMARK(BM_ClearFrame)->Unit(benchmark::kMicrosecond);

// One frame of the 500 textured flakes in the playing scene's frame, a
// 60 Hz frame time, finished on the GPU.
void BM_SnowfallFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  gl.ResetScene();
  Texture flake;
  if (!flake.LoadMipmapped("Data/Snowflake.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false)) {
    state.SkipWithError("run from the project root: Data/ is missing");
    return;
  }
  std::srand(1);
  Snowfall snow;
  snow.Init(&flake);
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -8.0f);
  const auto frame = [&snow] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    snow.UpdateAndDraw(16.0f);
    glFinish();
  };
  // A few frames first, so that the driver has built its shader variants.
  for (int i = 0; i < 5; ++i) frame();
  for (auto _ : state) frame();
  glPopMatrix();
}
BENCHMARK(BM_SnowfallFrame)->Unit(benchmark::kMicrosecond);

// One finale frame with dt 0, so the phase stays put; the font is built
// once, outside the timed loop. Argument 0: rating, 1: greeting.
void BM_FinaleFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  gl.ResetScene();
  FinaleScreen finale;
  if (!finale.Init(nullptr, 9)) {
    state.SkipWithError("no finale font");
    return;
  }
  if (state.range(0) == 1) {
    finale.UpdateAndDraw(20000.0f);  // through the rating in one frame
    finale.UpdateAndDraw(20000.0f);  // greeting centred
  } else {
    finale.UpdateAndDraw(5000.0f);   // message at scale 1.65
  }
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    finale.UpdateAndDraw(0.0f);
    glFinish();
  }
}
BENCHMARK(BM_FinaleFrame)->Arg(0)->Arg(1)->ArgName("phase")->Unit(benchmark::kMicrosecond);

}  // namespace
