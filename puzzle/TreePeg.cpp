#include "puzzle/TreePeg.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "gfx/Texture.h"
#include "puzzle/BoardModel.h"

namespace {

// Per-call damping of the wobble, the float nearest 1 / 1.005.
constexpr float Damping = 0.99502486f;
constexpr float ImpulseGain = 0.0125f;
constexpr float TiltLimit = 15.0f;
constexpr float LiftSwing = 0.005f;
constexpr float RiseRate = 0.01f;
constexpr float RiseEnd = 25.0f;
constexpr float ShrinkRate = 0.0005f;
constexpr float ShrinkEnd = 0.2f;

// A missing texture leaves name 0 bound, so the tree is drawn untextured.
void BindOrNone(const Texture* texture) {
  if (texture != nullptr) {
    texture->Bind();
  } else {
    glBindTexture(GL_TEXTURE_2D, 0);
  }
}

// The tree's two shapes, each drawn from its origin along +z. Both are open
// tubes seen from their +z end: the eye never looks into the top through its
// base, and the trunk's open end is covered by the top's base, so their
// inner (back) faces are always hidden and need not be rasterised.
void DrawOutside(GLUquadric* quadric, double baseRadius, double topRadius, double height) {
  glEnable(GL_CULL_FACE);
  gluCylinder(quadric, baseRadius, topRadius, height, 20, 4);
  glDisable(GL_CULL_FACE);
}
void DrawTop(GLUquadric* quadric) { DrawOutside(quadric, 0.35f, 0.0, 0.5); }
void DrawTrunk(GLUquadric* quadric) { DrawOutside(quadric, 0.15f, 0.15f, 1.5); }

}  // namespace

bool TreePeg::Attach(Texture* top, Texture* trunk) {
  topTexture = top;
  trunkTexture = trunk;
  quadric.reset(gluNewQuadric());
  if (quadric) {
    gluQuadricTexture(quadric.get(), GL_TRUE);
    gluQuadricNormals(quadric.get(), GLU_SMOOTH);
    GLUquadric* const q = quadric.get();
    topShape.Compile([q] { DrawTop(q); });
    trunkShape.Compile([q] { DrawTrunk(q); });
  }
  return true;
}

void TreePeg::SetPosition(float newX, float newY, float newZ) {
  prevX = x;
  prevY = y;
  x = newX;
  y = newY;
  z = newZ;
}

void TreePeg::SetCell(int column, int row) {
  SetPosition(BoardModel::BoardX(column), BoardModel::BoardY(row), 0.0f);
}

void TreePeg::SetState(PegState newState) {
  if (newState == Lifted) {
    state = Lifted;
    tiltRateX = LiftSwing;
  } else if (newState == Leaving) {
    leaveStyle = static_cast<LeaveStyle>(std::rand() % 2);
    leaveScale = 1.0f;
    z = 0.0f;
    state = Leaving;
  } else {
    state = newState;
  }
}

bool TreePeg::TryLift(float px, float py) {
  if (state == Gone || state == Leaving) return false;
  const double half = HitHalfSide;
  const bool inX = static_cast<double>(x) - half <= px && px <= static_cast<double>(x) + half;
  const bool inY = static_cast<double>(y) - half <= py && py <= static_cast<double>(y) + half;
  if (!inX || !inY) return false;
  SetState(Lifted);
  return true;
}

void TreePeg::Update(float dt) {
  switch (state) {
    case Gone:
      return;
    case Lifted:
      // The last SetPosition's movement is the impulse; the trunk swings
      // behind the motion.
      tiltRateX += (prevY - y) * ImpulseGain;
      tiltRateY -= (prevX - x) * ImpulseGain;
      tiltX += tiltRateX * dt;
      tiltY += tiltRateY * dt;
      if (std::fabs(tiltX) >= TiltLimit) tiltRateX *= -Damping;
      if (std::fabs(tiltY) >= TiltLimit) tiltRateY *= -Damping;
      tiltX *= Damping;
      tiltY *= Damping;
      tiltRateX *= Damping;
      tiltRateY *= Damping;
      break;
    case Leaving:
      if (leaveStyle == Rise) {
        z += RiseRate * dt;
        if (z >= RiseEnd) state = Gone;
      } else {
        leaveScale -= ShrinkRate * dt;
        if (leaveScale <= ShrinkEnd) state = Gone;
      }
      break;
    default:
      break;
  }
}

void TreePeg::Draw() const {
  // A peg that has left the board, also in the very update that ended its
  // leaving, is not drawn.
  if (state == Gone) return;
  glPushMatrix();
  if (state == Lifted) {
    glTranslatef(x, y, z + LiftHeight);
    glRotatef(tiltX, 1.0f, 0.0f, 0.0f);
    glRotatef(tiltY, 0.0f, 1.0f, 0.0f);
  } else {
    glTranslatef(x, y, z);
    if (state == Leaving && leaveStyle == Shrink) {
      const float s = leaveScale < ShrinkEnd ? ShrinkEnd : leaveScale;
      glScalef(s, s, s);
    }
  }
  // Without a quadric (GLU out of memory) there is nothing to draw with.
  if (quadric) {
    BindOrNone(topTexture);
    glTranslatef(0.0f, 0.0f, -0.5f);
    if (!topShape.Call()) DrawTop(quadric.get());
    BindOrNone(trunkTexture);
    glTranslatef(0.0f, 0.0f, -1.5f);
    if (!trunkShape.Call()) DrawTrunk(quadric.get());
  }
  glPopMatrix();
}
