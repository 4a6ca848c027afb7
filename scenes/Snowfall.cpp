#include "scenes/Snowfall.h"

#include <GL/gl.h>

#include <cstdlib>

#include "gfx/Texture.h"

namespace {

constexpr float kSpinRate = 0.1f;  // degrees per ms, all axes
constexpr float kRespawnBelow = -15.0f;
constexpr float kRespawnHeight = 25.0f;

// (r mod n) as tenths taken ten at a time: a whole number in float.
float WholeBelow(int n) { return static_cast<float>((std::rand() % n) * 10) * 0.1f; }

float RandomX() {
  const float plus = WholeBelow(50);
  const float minus = WholeBelow(50);
  return plus - minus;
}

float RandomZ() { return -WholeBelow(50); }

float RandomAngle() { return static_cast<float>(std::rand() % 360); }

}  // namespace

Snowfall::Snowfall() : m_flakes(kFlakeCount) {}

void Snowfall::Init(Texture* texture) {
  m_texture = texture;
  for (Flake& flake : m_flakes) {
    flake.x = RandomX();
    flake.y = WholeBelow(25) - 2.0f;
    flake.z = RandomZ();
    flake.angleX = RandomAngle();
    flake.angleY = RandomAngle();
    flake.angleZ = RandomAngle();
    flake.fallSpeed = static_cast<float>(std::rand() % 5 + 1) * 0.005f;
  }
}

void Snowfall::Respawn(Flake& flake) {
  flake.x = RandomX();
  flake.y = kRespawnHeight;
  flake.z = RandomZ();
  flake.angleX = RandomAngle();
  flake.angleY = RandomAngle();
  flake.angleZ = RandomAngle();
  flake.fallSpeed = static_cast<float>(std::rand() % 10 + 1) * 0.01f;
}

void Snowfall::Update(float dt) {
  const float spin = dt * kSpinRate;
  for (Flake& flake : m_flakes) {
    flake.y -= dt * flake.fallSpeed;
    flake.angleX += spin;
    flake.angleY += spin;
    flake.angleZ += spin;
    if (flake.y <= kRespawnBelow) Respawn(flake);
  }
}

void Snowfall::Draw() const {
  // Additive blending with the resting blend function: black texels add nothing.
  glEnable(GL_BLEND);
  if (m_texture != nullptr) {
    m_texture->Bind();
  } else {
    glBindTexture(GL_TEXTURE_2D, 0);
  }

  for (const Flake& flake : m_flakes) {
    glPushMatrix();
    glTranslatef(flake.x, flake.y, flake.z);
    glRotatef(flake.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(flake.angleY, 0.0f, 1.0f, 0.0f);
    glRotatef(flake.angleZ, 0.0f, 0.0f, 1.0f);

    glBegin(GL_QUADS);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glEnd();

    glPopMatrix();
  }

  glDisable(GL_BLEND);
}

void Snowfall::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}
