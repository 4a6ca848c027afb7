#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "scenes/IntroSequence.h"
#include "scenes/SnowFigure.h"
#include "tests/support/FakeClock.h"
#include "tests/support/HeadlessGl.h"

namespace {

// One intro frame as the game draws it: clear, identity, the figure with its
// three 30 x 30 spheres and the word "Merry" 400 ms into its phase. The phase
// clock stands still, so every iteration draws the same picture.
void BM_IntroFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no headless GL context");
    return;
  }
  gl.ResetScene();
  FakeClock clock;
  IntroSequence intro;
  intro.PhaseTimer().UseClock(clock);
  intro.Init(nullptr);
  for (auto _ : state) {
    intro.SetPhase(1);
    intro.Figure().SetAngle(270.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    intro.UpdateAndDraw(400.0f);
    glFinish();
  }
}
BENCHMARK(BM_IntroFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// The figure alone, for comparison with the whole frame.
void BM_SnowFigureFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no headless GL context");
    return;
  }
  gl.ResetScene();
  SnowFigure figure;
  figure.Init();
  figure.SetPosition(0.0f, -5.0f, -12.0f);
  for (auto _ : state) {
    figure.SetAngle(270.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    figure.UpdateAndDraw(400.0f);
    glFinish();
  }
}
BENCHMARK(BM_SnowFigureFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
