#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "shell/GameWindow.h"
#include "tests/support/FakeDesktop.h"

namespace {

constexpr std::int64_t kFrameCounts = 16000;  // 16 ms of the fake 1 MHz clock

// The whole game on a fake desktop: a real offscreen GL context, recorded
// audio, no X server; the window's buffer swap only counts, so presentation
// is not part of a frame here. The clock moves by hand, 16 ms per frame. The
// GL context current before (the other benchmarks' shared one) is current
// again afterwards.
class BenchGame {
 public:
  BenchGame() : m_previousWindow(SDL_GL_GetCurrentWindow()), m_previousContext(SDL_GL_GetCurrentContext()) {
    window = std::make_unique<GameWindow>(fake.desktop);
    ok = window->CreateMainWindow();
    if (!ok) return;
    // The first frame waits for two clock readings to differ, so for it the
    // clock ticks on every reading; after it the clock moves only between
    // frames.
    fake.clock.step = kFrameCounts;
    window->StepFrame();
    fake.clock.step = 0;
  }
  ~BenchGame() {
    window.reset();
    if (m_previousContext != nullptr) SDL_GL_MakeCurrent(m_previousWindow, m_previousContext);
  }
  BenchGame(const BenchGame&) = delete;
  BenchGame& operator=(const BenchGame&) = delete;

  // One frame 16 ms after the last, finished on the GPU.
  void Frame() {
    fake.clock.now += kFrameCounts;
    window->StepFrame();
    glFinish();
  }
  // Escape in the intro: straight to play, the full board.
  void SkipIntro() {
    fake.input.escapes = {true};
    Frame();
  }
  // A dead end of nine pegs, none next to another: the next frame starts the
  // board's exit.
  void EndInDeadEnd() {
    const std::vector<PegBoard::Cell> pegs = {{2, 0}, {4, 0}, {3, 3}, {0, 2}, {6, 4},
                                              {2, 6}, {4, 6}, {0, 4}, {6, 2}};
    window->Board().Arrange(pegs);
    Frame();
  }

  FakeDesktop fake;
  std::unique_ptr<GameWindow> window;
  bool ok = false;

 private:
  SDL_Window* m_previousWindow;
  SDL_GLContext m_previousContext;
};

// A frame of play: 32 trees, 500 flakes and the bottle cursor.
void BM_GamePlayingFrame(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  game.SkipIntro();
  // The frame holding the skip's pause, then a few more so that the driver
  // has built its shader variants: even a single timed frame is a steady one.
  for (int i = 0; i < 10; ++i) game.Frame();
  for (auto _ : state) game.Frame();
  if (game.window->State() != StatePlaying) state.SkipWithError("left the playing state");
}
BENCHMARK(BM_GamePlayingFrame)->Unit(benchmark::kMillisecond);

// A frame of play while a tree is dragged to and fro: the lifted tree moves
// and swings on every frame; the standing ones do not.
void BM_GameDraggingFrame(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  game.SkipIntro();
  for (int i = 0; i < 10; ++i) game.Frame();
  PegBoard& board = game.window->Board();
  if (!board.Pick(0.0f, -2.0f)) return state.SkipWithError("no tree to lift");
  float x = 0.0f;
  for (auto _ : state) {
    x = x > 1.0f ? 0.0f : x + 0.02f;
    board.Drag(x, -2.0f + x);
    game.Frame();
  }
  if (game.window->State() != StatePlaying) state.SkipWithError("left the playing state");
}
BENCHMARK(BM_GameDraggingFrame)->Unit(benchmark::kMillisecond);

// The intro's frames from its start: 1000 frames are 16 of its 17.5 seconds,
// all seven words.
void BM_GameIntroFrame(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  for (auto _ : state) game.Frame();
  if (game.window->State() != StateIntro) state.SkipWithError("the intro ended during the run");
}
BENCHMARK(BM_GameIntroFrame)->Unit(benchmark::kMillisecond)->Iterations(1000);

// The board's exit after a dead end: snow, then the spinning board coming
// towards the eye. 600 frames are the first 9.6 of its 10 seconds.
void BM_GameBoardExitFrame(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  game.SkipIntro();
  game.EndInDeadEnd();
  if (game.window->State() != StateBoardExit) return state.SkipWithError("the dead end did not end play");
  for (auto _ : state) game.Frame();
  if (game.window->State() != StateBoardExit) state.SkipWithError("the exit ended during the run");
}
BENCHMARK(BM_GameBoardExitFrame)->Unit(benchmark::kMillisecond)->Iterations(600);

// The frame that ends the board's exit and starts the finale, which builds
// its font inside that frame. Each iteration makes a fresh game and brings
// it, untimed, to 10 ms before the end of the exit; only that frame counts.
void BM_GameFinaleEntryFrame(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    {
      BenchGame game;
      if (!game.ok) return state.SkipWithError("no game window");
      game.SkipIntro();
      game.EndInDeadEnd();
      game.fake.clock.now += 9990 * 1000;  // one long step: exit depth -8 to 1.99
      game.window->AdvanceFrame();
      if (game.window->State() != StateBoardExit) return state.SkipWithError("not in the board's exit");
      state.ResumeTiming();
      game.Frame();
      state.PauseTiming();
      if (game.window->State() != StateFinale) return state.SkipWithError("the finale did not start");
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_GameFinaleEntryFrame)->Unit(benchmark::kMillisecond)->Iterations(30);

// The game's own share of a frame of play: mouse, frame time, Escape poll,
// the state step (the no-move scan) and the update of the board and the
// snow, without drawing.
void BM_GameAdvanceOnly(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  game.SkipIntro();
  game.Frame();
  for (auto _ : state) {
    game.fake.clock.now += kFrameCounts;
    game.window->AdvanceFrame();
  }
  if (game.window->State() != StatePlaying) state.SkipWithError("left the playing state");
}
BENCHMARK(BM_GameAdvanceOnly);

// One wake of a minimised game: a tenth of a second of play stepped in 60 Hz
// display periods (six updates of board and snow), nothing drawn.
void BM_GameRestFrame(benchmark::State& state) {
  BenchGame game;
  if (!game.ok) return state.SkipWithError("no game window");
  game.SkipIntro();
  game.Frame();
  game.fake.window.minimized = true;
  for (auto _ : state) {
    game.fake.clock.now += 100000;
    game.window->RestFrame();
  }
  if (game.window->State() != StatePlaying) state.SkipWithError("left the playing state");
}
BENCHMARK(BM_GameRestFrame);

}  // namespace
