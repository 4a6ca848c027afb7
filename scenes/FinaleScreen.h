#pragma once

#include "gfx/OutlineFont.h"

class DrawSurface;

enum FinalePhase { PhaseRating = 0, PhaseGreeting = 1 };

// The end of the game: a German verdict on the pegs left grows under a
// half-transparent "Geschafft", then "MERRY CHRISTMAS!!!" scrolls from right
// to left under a black fade until it has left the view.
class FinaleScreen {
 public:
  FinaleScreen() = default;
  virtual ~FinaleScreen() = default;
  FinaleScreen(const FinaleScreen&) = delete;
  FinaleScreen& operator=(const FinaleScreen&) = delete;

  // Builds the font and keeps the count. Leaves phase, scales, position and
  // done flag as construction set them: the finale runs once per process.
  // Returns the font's result.
  [[nodiscard]] bool Init(DrawSurface* surface, int pegsLeft);
  // Advances the current phase by dt ms: the rating grows until the greeting
  // takes over, the greeting scrolls until it has left the view and the
  // finale is done. Touches no GL.
  void Update(float dt);
  // Draws the current phase. Leaves the resting GL state and the modelview
  // stack as it found them.
  void Draw() const;
  // Update, then Draw.
  void UpdateAndDraw(float dt);
  bool IsDone() const { return m_done; }

  // The verdict for a number of pegs left, as Windows-1252 text.
  static const char* MessageFor(int pegsLeft);

  FinalePhase Phase() const { return m_phase; }
  float MessageScale() const { return m_messageScale; }
  float OverlayScale() const { return m_overlayScale; }
  float GreetingX() const { return m_greetingX; }
  int PegsLeft() const { return m_pegsLeft; }

 private:
  void DrawRating() const;
  void DrawGreeting() const;

  FinalePhase m_phase = PhaseRating;
  OutlineFont m_font;
  float m_greetingX = 10.0f;
  float m_messageScale = 0.15f;
  float m_overlayScale = 1.0f;
  int m_pegsLeft = 0;
  bool m_done = false;
};
