#pragma once

class DrawSurface;

// The rating message and the scrolling greeting that end the game.
class FinaleScreen {
 public:
  FinaleScreen() = default;
  virtual ~FinaleScreen() = default;
  bool Init(DrawSurface* surface, int pegsLeft);
  void UpdateAndDraw(float dt);
  bool IsDone() const { return m_done; }

 private:
  bool m_done = true;
};
