#pragma once

#include <array>

#include "gfx/OutlineFont.h"
#include "scenes/SnowFigure.h"
#include "platform/FrameTimer.h"

class DrawSurface;

// The opening scene: seven title words, one every 2.5 seconds of the
// sequence's own clock, each with its own motion, in front of the turning
// snow figure.
class IntroSequence {
 public:
  // One title word and the values its phase starts with. Rates are per ms;
  // the fade rate is opacity lost per ms, so a negative one fades in.
  struct PhaseRow {
    const char* word;
    float scale;
    float scaleRate;
    float posX;
    float posY;
    float velX;
    float velY;
    float alpha;
    float fadeRate;
  };
  static constexpr int kPhaseCount = 7;
  static constexpr float kPhaseLength = 2500.0f;
  static constexpr std::array<PhaseRow, kPhaseCount> kPhases = {{
      {"The", 1.0f, 0.003f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0005f},
      {"Merry", 1.0f, 0.0f, -6.0f, 0.0f, 0.009f, 0.0f, 1.0f, 0.0f},
      {"Christmas", 1.5f, 0.0f, 7.5f, 0.0f, -0.007f, 0.0f, 1.0f, 0.0f},
      {"Veltranic", 5.0f, -0.002f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
      {"Brought to you", 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0005f},
      {"BY", 1.0f, 0.0f, 0.0f, 3.5f, 0.0f, -0.005f, 0.0f, -0.0007f},
      {" Gorvald ", 0.5f, 0.002f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -0.0007f},
  }};

  IntroSequence();
  virtual ~IntroSequence() = default;
  IntroSequence(const IntroSequence&) = delete;
  IntroSequence& operator=(const IntroSequence&) = delete;

  // Builds the font, starts the phase clock and places the figure. Needs the
  // GL context current.
  void Init(DrawSurface* surface);
  // Advances the phase clock, the word's motion and the figure's turn by dt
  // ms. Touches no GL.
  void Update(float dt);
  // Draws the figure and the current word.
  void Draw() const;
  // Update, then Draw.
  void UpdateAndDraw(float dt);
  bool IsDone() const { return m_done; }
  // Loads the start values of a phase; an index outside the table ends the
  // sequence and leaves the reset values.
  void SetPhase(int index);

  // The phase clock, so that a test can hand it its own clock before Init.
  FrameTimer& PhaseTimer() { return m_timer; }
  const SnowFigure& Figure() const { return m_figure; }
  SnowFigure& Figure() { return m_figure; }
  int Phase() const { return m_phase; }
  float Elapsed() const { return m_elapsed; }
  float ScaleX() const { return m_scaleX; }
  float ScaleY() const { return m_scaleY; }
  float Alpha() const { return m_alpha; }
  float PosX() const { return m_posX; }
  float PosY() const { return m_posY; }

 private:
  void Integrate(float dt);
  void DrawWord(const char* word) const;

  OutlineFont m_font;
  int m_phase = 0;
  bool m_done = false;
  float m_scaleX = 1.0f;
  float m_scaleY = 1.0f;
  float m_alpha = 1.0f;
  float m_posX = 0.0f;
  float m_posY = 0.0f;
  float m_velX = 0.0f;
  float m_velY = 0.0f;
  float m_scaleRateX = 0.0f;
  float m_scaleRateY = 0.0f;
  float m_fadeRate = 0.0f;
  float m_elapsed = 0.0f;
  FrameTimer m_timer;
  SnowFigure m_figure;
  // The phase clock's previous reading, in ms. Starts at 0, so the first
  // frame counts all the time since Init.
  float m_lastReading = 0.0f;
};
