#include <benchmark/benchmark.h>

#include "gfx/OutlineFont.h"
#include "tests/support/HeadlessGl.h"

namespace {

// The game builds its font twice (scene setup and the finale's first frame),
// each time with a fresh font object: fontconfig lookup, 256 glyph outlines,
// tessellation and display-list compilation.
void BM_OutlineFontCreateFresh(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  for (auto _ : state) {
    OutlineFont font;
    benchmark::DoNotOptimize(font.Create(nullptr, "Arial", 36, 0.0f, 800, FontStyle{}));
    glFinish();
  }
}
BENCHMARK(BM_OutlineFontCreateFresh)->Unit(benchmark::kMillisecond);

// Rebuilding an existing font: the face lookup is cached, the old lists go.
void BM_OutlineFontCreateAgain(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  OutlineFont font;
  const float extrusion = static_cast<float>(state.range(0)) / 10.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(font.Create(nullptr, "Arial", 36, extrusion, 800, FontStyle{}));
    glFinish();
  }
}
BENCHMARK(BM_OutlineFontCreateAgain)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// One centred line of the finale, as drawn every frame.
void BM_OutlineFontPrint(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  OutlineFont font;
  if (!font.Create(nullptr, "Arial", 36, 0.0f, 800, FontStyle{})) {
    state.SkipWithError("no font lists");
    return;
  }
  gl.ResetScene();
  glDisable(GL_TEXTURE_2D);
  for (auto _ : state) {
    glPushMatrix();
    glTranslatef(0, 0, -8);
    glScalef(0.5f, 0.5f, 0.5f);
    font.Print(AlignCenter, "MERRY CHRISTMAS!!!");
    glPopMatrix();
    glFinish();
  }
  glEnable(GL_TEXTURE_2D);
}
BENCHMARK(BM_OutlineFontPrint)->Unit(benchmark::kMicrosecond);

}  // namespace
