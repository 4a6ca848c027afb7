#pragma once

#include "gfx/Texture.h"
#include "puzzle/BoardLayer.h"
#include "shell/GamePlay.h"
#include "shell/GameTrace.h"

// Draws a frame of the game as it stands: what the current state shows and,
// while playing, the bottle cursor, the standing trees through the board's
// layer. Changes nothing but GL, and leaves the resting GL state as it found
// it.
class FrameRenderer {
 public:
  // Where the board stands in front of the eye while playing.
  static constexpr float kBoardZ = -8.0f;

  // The size of the window's drawable, which the board's layer takes.
  void Fit(int drawableWidth, int drawableHeight) { m_boardLayer.Fit(drawableWidth, drawableHeight); }
  // Clears the frame and draws `play` into it, the cursor with `bottle`.
  void Draw(const GamePlay& play, const Texture& bottle);
  // Writes each hole's place in the picture to the trace, through the
  // projection in force.
  static void TraceHoles(GameTrace& trace);

 private:
  static void DrawCursor(const GamePlay& play, const Texture& bottle);

  // The standing trees, drawn once while they stand still.
  BoardLayer m_boardLayer;
};
