#pragma once

#include <chrono>
#include <cstdio>

#include "shell/GameState.h"

// Optional lines about the game's progress for test harnesses and
// measurements: the first presented frame, state changes, the cursor
// position when it changes, each mouse-button message, a tick every
// hundred frames, every frame that came more than 25 ms (a frame and a half
// at 60 Hz) after the one before it, each hole's place before the first
// frame, where drawing stops while the window cannot be seen ("rest") and
// starts again ("wake"), the viewport whenever the picture is fitted to
// another drawable size, when the pointer is captured and released
// ("capture on|off") and every non-zero mouse delta read ("motion DX DY"),
// so that a harness driving the pointer knows which of its moves the game
// took, and when the keyboard focus comes and goes ("focus gained|lost").
// Frames count drawn frames only. Written only when
// CHRISTMAS_PEGS_TRACE names a file ("-" for stderr); otherwise the game
// stays silent.
class GameTrace {
 public:
  GameTrace();
  ~GameTrace();
  GameTrace(const GameTrace&) = delete;
  GameTrace& operator=(const GameTrace&) = delete;

  bool Enabled() const { return m_file != nullptr; }
  void Frame(GameState state, float cursorX, float cursorY, int pegsLeft);
  void Button(bool down, float cursorX, float cursorY);
  // The drawable's size and the viewport the picture was fitted to in it.
  void Viewport(int drawableWidth, int drawableHeight, int x, int y, int width, int height);
  // One mouse read: whether the pointer is captured, and the delta read.
  void Mouse(bool captured, int dx, int dy);
  // A frame stepped without drawing.
  void Rest();
  // The keyboard focus came to the window or left it.
  void Focus(bool gained);
  // Where a hole lies: its centre on the board, and where that point shows
  // in the game's picture, as fractions of its width and height from the
  // top left.
  void Hole(int column, int row, float boardX, float boardY, double pictureX, double pictureY);

 private:
  std::FILE* m_file = nullptr;
  bool m_ownsFile = false;
  long m_frames = 0;
  std::chrono::steady_clock::time_point m_lastFrame;
  GameState m_state = StateIntro;
  float m_cursorX = 0.0f;
  float m_cursorY = 0.0f;
  int m_pegsLeft = -1;
  bool m_resting = false;
  bool m_captured = false;
};
