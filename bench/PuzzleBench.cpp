#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "gfx/Texture.h"
#include "puzzle/PegBoard.h"
#include "tests/support/HeadlessGl.h"

namespace {

// One playing-scene frame of the full board: 32 textured trees, each a cone
// and a trunk, finished on the GPU (llvmpipe here).
void BM_PegBoardFrame(benchmark::State& state) {
  HeadlessGl& gl = HeadlessGl::Shared();
  if (!gl.Ok()) {
    state.SkipWithError("no GL context");
    return;
  }
  gl.ResetScene();
  Texture top;
  Texture trunk;
  if (!top.LoadMipmapped("Data/BaumOben.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false) ||
      !trunk.LoadMipmapped("Data/BaumStamm.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false)) {
    state.SkipWithError("run from the project root: Data/ is missing");
    return;
  }
  PegBoard board;
  board.Setup(&top, &trunk, nullptr);
  const auto frame = [&board] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -8.0f);
    board.UpdateAndDraw(16.0f);
    glFinish();
  };
  // A few frames first, so that the driver has built its shader variants.
  for (int i = 0; i < 5; ++i) frame();
  for (auto _ : state) frame();
}
BENCHMARK(BM_PegBoardFrame)->Unit(benchmark::kMicrosecond);

// The rules side of a frame of play: the no-move scan of the grid.
void BM_PegBoardNoMoveLeft(benchmark::State& state) {
  PegBoard board;
  board.Setup(nullptr, nullptr, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(board.NoMoveLeft());
}
BENCHMARK(BM_PegBoardNoMoveLeft);

}  // namespace
