#include "scenes/FinaleScreen.h"

#include <GL/gl.h>

namespace {

constexpr float kMessageGrowth = 0.0003f;  // per ms
constexpr float kOverlayGrowth = 0.0005f;  // per ms
constexpr float kGreetingAt = 3.5f;        // message scale that ends the rating
constexpr float kGreetingSpeed = 0.0005f;  // GL units per ms, toward -x
constexpr float kGreetingGoneBelow = -15.0f;

}  // namespace

bool FinaleScreen::Init(DrawSurface* surface, int pegsLeft) {
  const bool created = m_font.Create(surface, "Arial", 36, 0.0f, 800, FontStyle{});
  m_pegsLeft = pegsLeft;
  return created;
}

const char* FinaleScreen::MessageFor(int pegsLeft) {
  if (pegsLeft <= 2) return "Super! Fast Perfekt!";
  if (pegsLeft <= 4) return "Sehr gut!";
  if (pegsLeft <= 6) return "Na ja geht auch besser!";
  if (pegsLeft <= 8) return "Das Resultat \xFC" "berseh ich mal...";
  return "Pfff! Da sind ja 90-J\xE4" "hrige besser!";
}

void FinaleScreen::Update(float dt) {
  if (m_phase == PhaseRating) {
    m_messageScale += dt * kMessageGrowth;
    m_overlayScale += dt * kOverlayGrowth;
    // The greeting starts with the next update.
    if (m_messageScale >= kGreetingAt) m_phase = PhaseGreeting;
  } else {
    m_greetingX -= dt * kGreetingSpeed;
    if (m_greetingX < kGreetingGoneBelow) m_done = true;
  }
}

void FinaleScreen::Draw() const {
  // The texts and the fade are untextured.
  glDisable(GL_TEXTURE_2D);
  if (m_phase == PhaseRating) {
    DrawRating();
  } else {
    DrawGreeting();
  }
  glEnable(GL_TEXTURE_2D);
}

void FinaleScreen::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}

void FinaleScreen::DrawRating() const {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  // The verdict, opaque and depth tested.
  glPushMatrix();
  glTranslatef(0.0f, -1.5f, -8.0f);
  glScalef(m_messageScale, m_messageScale, 1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  m_font.Print(AlignCenter, MessageFor(m_pegsLeft));
  glPopMatrix();

  // "Geschafft" half transparent over everything.
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -8.0f);
  glScalef(m_overlayScale, m_overlayScale, 1.0f);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  m_font.Print(AlignCenter, "Geschafft");
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();

  glBlendFunc(GL_ONE, GL_ONE);
}

void FinaleScreen::DrawGreeting() const {
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  glPushMatrix();
  glTranslatef(m_greetingX, -0.5f, -5.0f);
  glScalef(2.0f, 2.0f, 1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  m_font.Print(AlignCenter, "MERRY CHRISTMAS!!!");
  glPopMatrix();

  // Black fade over the right-hand half: the second and third vertices
  // coincide, so the quad fills the triangle (0,10) (0,-10) (20,-10).
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -5.0f);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBegin(GL_QUADS);
  glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, 10.0f, 0.0f);
  glColor4f(0.0f, 0.0f, 0.0f, 0.0f);
  glVertex3f(0.0f, -10.0f, 0.0f);
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  glVertex3f(0.0f, -10.0f, 0.0f);
  glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
  glVertex3f(20.0f, -10.0f, 0.0f);
  glEnd();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();

  glBlendFunc(GL_ONE, GL_ONE);
}
