#include "scenes/Snowfall.h"

#include <GL/gl.h>

#include <cmath>
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

// A square's corners, in the order drawn, with their texture coordinates.
struct Corner {
  float x, y, s, t;
};
constexpr Corner kCorners[4] = {{-0.5f, 0.5f, 0.0f, 1.0f}, {0.5f, 0.5f, 1.0f, 1.0f}, {0.5f, -0.5f, 1.0f, 0.0f},
                                {-0.5f, -0.5f, 0.0f, 0.0f}};

struct Vec3 {
  float x, y, z;
};

// The turn of glRotatef about x, then y, then z (in that order of calls, so
// that a point is turned about z first), as one 3 x 3 matrix.
struct Rotation {
  float m[3][3];

  static Rotation FromAngles(float degreesX, float degreesY, float degreesZ) {
    constexpr float kRadians = 3.14159265358979f / 180.0f;
    const float sx = std::sin(degreesX * kRadians), cx = std::cos(degreesX * kRadians);
    const float sy = std::sin(degreesY * kRadians), cy = std::cos(degreesY * kRadians);
    const float sz = std::sin(degreesZ * kRadians), cz = std::cos(degreesZ * kRadians);
    // Rx * Ry * Rz
    return {{{cy * cz, -cy * sz, sy},
             {sx * sy * cz + cx * sz, -sx * sy * sz + cx * cz, -sx * cy},
             {-cx * sy * cz + sx * sz, cx * sy * sz + sx * cz, cx * cy}}};
  }

  Vec3 Apply(const Vec3& v) const {
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
  }
};

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

  // Every flake is turned and placed here, and all are drawn in one call: a
  // matrix change and a begin/end pair per flake cost the driver far more
  // than the squares themselves. A flake is lit with the current normal
  // turned with it, as GL would turn it under the flake's own matrix.
  GLfloat normal[4] = {0.0f, 0.0f, 1.0f, 0.0f};
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  m_vertices.clear();
  for (const Flake& flake : m_flakes) {
    const Rotation turn = Rotation::FromAngles(flake.angleX, flake.angleY, flake.angleZ);
    const Vec3 turnedNormal = turn.Apply({normal[0], normal[1], normal[2]});
    for (const Corner& corner : kCorners) {
      const Vec3 at = turn.Apply({corner.x, corner.y, 0.0f});
      m_vertices.push_back({corner.s, corner.t, turnedNormal.x, turnedNormal.y, turnedNormal.z, flake.x + at.x,
                            flake.y + at.y, flake.z + at.z});
    }
  }

  glColor3f(1.0f, 1.0f, 1.0f);
  glInterleavedArrays(GL_T2F_N3F_V3F, 0, m_vertices.data());
  glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(m_vertices.size()));
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  // The current normal and texture coordinate as drawing flake by flake
  // would leave them.
  glNormal3fv(normal);
  glTexCoord2f(0.0f, 0.0f);

  glDisable(GL_BLEND);
}

void Snowfall::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}
