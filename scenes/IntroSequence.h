#pragma once

class DrawSurface;

// The seven title words over the turning snow figure.
class IntroSequence {
 public:
  IntroSequence() = default;
  virtual ~IntroSequence() = default;
  void Init(DrawSurface* surface);
  void UpdateAndDraw(float dt);
  bool IsDone() const { return m_done; }

 private:
  bool m_done = true;
};
