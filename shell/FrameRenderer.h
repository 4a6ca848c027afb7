#pragma once

#include "gfx/Texture.h"
#include "shell/GamePlay.h"
#include "shell/GameTrace.h"

// Draws a frame of the game as it stands: what the current state shows and,
// while playing, the bottle cursor. Changes nothing but GL, and leaves the
// resting GL state as it found it.
class FrameRenderer {
 public:
  // Where the board stands in front of the eye while playing.
  static constexpr float kBoardZ = -8.0f;

  // Clears the frame and draws `play` into it, the cursor with `bottle`.
  void Draw(const GamePlay& play, const Texture& bottle) const;
  // Writes each hole's place in the picture to the trace, through the
  // projection in force.
  static void TraceHoles(GameTrace& trace);

 private:
  static void DrawCursor(const GamePlay& play, const Texture& bottle);
};
