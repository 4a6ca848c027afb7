#include "scenes/IntroSequence.h"

#include <GL/gl.h>

namespace {

// Where the figure stands: its sphere centres end up at y = -3.55, -1.1 and
// 0.55, twelve units in front of the eye.
constexpr float kFigureX = 0.0f;
constexpr float kFigureY = -5.0f;
constexpr float kFigureZ = -12.0f;

// The words are drawn nearer than the figure, and over it.
constexpr float kWordZ = -8.0f;

}  // namespace

IntroSequence::IntroSequence() {
  SetPhase(0);
  m_done = false;
}

void IntroSequence::Init(DrawSurface* surface) {
  // A failed font leaves Print drawing nothing; the timing goes on regardless.
  static_cast<void>(m_font.Create(surface, "Arial", 36, 0.0f, 800, FontStyle{}));
  m_timer.Init();
  m_figure.Init();
  m_figure.SetPosition(kFigureX, kFigureY, kFigureZ);
}

void IntroSequence::SetPhase(int index) {
  m_phase = index;
  m_scaleX = 1.0f;
  m_scaleY = 1.0f;
  m_alpha = 1.0f;
  m_posX = 0.0f;
  m_posY = 0.0f;
  m_velX = 0.0f;
  m_velY = 0.0f;
  m_scaleRateX = 0.0f;
  m_scaleRateY = 0.0f;
  m_fadeRate = 0.0f;
  m_elapsed = 0.0f;
  if (index < 0 || index >= kPhaseCount) {
    m_done = true;
    return;
  }
  const PhaseRow& row = kPhases[static_cast<std::size_t>(index)];
  m_scaleX = row.scale;
  m_scaleY = row.scale;
  m_scaleRateX = row.scaleRate;
  m_scaleRateY = row.scaleRate;
  m_posX = row.posX;
  m_posY = row.posY;
  m_velX = row.velX;
  m_velY = row.velY;
  m_alpha = row.alpha;
  m_fadeRate = row.fadeRate;
}

void IntroSequence::Update(float dt) {
  // The clock is read twice; what passes between the two readings is not
  // counted. At most one phase change per frame: a long frame's excess is
  // dropped and the new phase starts from 0.
  m_elapsed = static_cast<float>(static_cast<double>(m_elapsed) + (m_timer.Now() - static_cast<double>(m_lastReading)));
  m_lastReading = static_cast<float>(m_timer.Now());
  if (m_elapsed >= kPhaseLength) SetPhase(m_phase + 1);

  // The figure turns in every call, also in the one that ends the sequence.
  m_figure.Update(dt);
  if (m_phase < 0 || m_phase >= kPhaseCount) return;
  Integrate(dt);
}

void IntroSequence::Draw() const {
  m_figure.Draw();
  if (m_phase < 0 || m_phase >= kPhaseCount) return;
  DrawWord(kPhases[static_cast<std::size_t>(m_phase)].word);
}

void IntroSequence::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}

void IntroSequence::Integrate(float dt) {
  m_scaleX += dt * m_scaleRateX;
  m_scaleY += dt * m_scaleRateY;
  m_posX += dt * m_velX;
  m_posY += dt * m_velY;
  m_alpha -= dt * m_fadeRate;
}

// White, alpha blended, untextured and over everything. Lighting stays on:
// through colour material the alpha reaches the lit colour, clamped by GL to
// 0..1, so a negative alpha hides the word and one above 1 shows it opaque.
void IntroSequence::DrawWord(const char* word) const {
  glPushMatrix();
  glTranslatef(m_posX, m_posY, kWordZ);
  glScalef(m_scaleX, m_scaleY, 1.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, m_alpha);
  m_font.Print(AlignCenter, word);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glBlendFunc(GL_ONE, GL_ONE);
  glPopMatrix();
}
