#include <benchmark/benchmark.h>

#include <cstdlib>

#include "scenes/FinaleScreen.h"
#include "scenes/Snowfall.h"
#include "tests/support/HeadlessGl.h"

namespace {

// One frame of the 500-flake snowfall in the playing scene's frame, a
// 60 Hz frame time, finished on the GPU.
void BM_SnowfallFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  gl.ResetScene();
  std::srand(1);
  Snowfall snow;
  snow.Init(nullptr);
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -8.0f);
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    snow.UpdateAndDraw(16.0f);
    glFinish();
  }
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
