#include "scenes/SnowFigure.h"

#include <GL/gl.h>

namespace {

// Degrees the figure turns per millisecond.
constexpr float kTurnRate = 0.1f;

constexpr double kLowerRadius = 1.45;
constexpr double kMiddleRadius = 1.0;
constexpr double kHeadRadius = 0.65;
constexpr GLint kBodyDetail = 30;

constexpr double kNoseBaseRadius = 0.1;
constexpr double kNoseLength = 0.15;
constexpr double kDotRadius = 0.05;
constexpr GLint kFaceDetail = 15;

// The hat's lower edge sits just inside the head, a hair below 0.2.
constexpr GLfloat kHatBottom = 0.19999997f;
constexpr GLfloat kHatTop = 1.65f;
constexpr GLfloat kHatHalfWidth = 0.65f;

// Eyes, then the mouth's middle and its two corners, each reached from the
// previous point; the walk starts at the nose's base on the head's surface.
struct DotStep {
  GLfloat x;
  GLfloat y;
  GLfloat z;
};
constexpr DotStep kDotSteps[] = {
    {0.0f, 0.25f, 0.18f},   // first eye
    {0.0f, 0.0f, -0.36f},   // second eye
    {0.0f, -0.65f, 0.18f},  // mouth, middle
    {0.0f, 0.1f, 0.18f},    // mouth, first corner
    {0.0f, 0.0f, -0.36f},   // mouth, second corner
};

GLUquadric* NewQuadric(GLboolean textured) {
  GLUquadric* quadric = gluNewQuadric();
  if (quadric != nullptr) {
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, textured);
  }
  return quadric;
}

}  // namespace

void SnowFigure::Init() {
  // A missing picture leaves the figure untextured.
  static_cast<void>(m_bodyTexture.LoadMipmapped("Data/Schneeman.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  static_cast<void>(m_hatTexture.LoadMipmapped("Data/Muetze.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  m_texturedQuadric.reset(NewQuadric(GL_TRUE));
  m_plainQuadric.reset(NewQuadric(GL_FALSE));
  // Spheres cost thousands of vertices: they are generated once, not every
  // frame.
  for (int shape = 0; shape < ShapeCount; ++shape) {
    m_shapes[shape].Compile([this, shape] { IssueShape(static_cast<Shape>(shape)); });
  }
}

void SnowFigure::DrawShape(Shape shape) const {
  if (!m_shapes[shape].Call()) IssueShape(shape);
}

void SnowFigure::IssueShape(Shape shape) const {
  GLUquadric* const body = m_texturedQuadric.get();
  GLUquadric* const plain = m_plainQuadric.get();
  switch (shape) {
    case LowerBody: if (body != nullptr) gluSphere(body, kLowerRadius, kBodyDetail, kBodyDetail); break;
    case MiddleBody: if (body != nullptr) gluSphere(body, kMiddleRadius, kBodyDetail, kBodyDetail); break;
    case Head: if (body != nullptr) gluSphere(body, kHeadRadius, kBodyDetail, kBodyDetail); break;
    case Nose: if (plain != nullptr) gluCylinder(plain, kNoseBaseRadius, 0.0, kNoseLength, kFaceDetail, kFaceDetail); break;
    case Dot: if (plain != nullptr) gluSphere(plain, kDotRadius, kFaceDetail, kFaceDetail); break;
    case ShapeCount: break;
  }
}

void SnowFigure::SetPosition(float x, float y, float z) {
  m_x = x;
  m_y = y;
  m_z = z;
}

void SnowFigure::Update(float dt) { m_angle += dt * kTurnRate; }

void SnowFigure::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}

void SnowFigure::Draw() const {
  glPushMatrix();
  glTranslatef(m_x, m_y + static_cast<GLfloat>(kLowerRadius), m_z);
  glRotatef(m_angle, 0.0f, 1.0f, 0.0f);

  // Body: the quadrics exist only after Init; without them there is nothing
  // to draw the spheres and the face with, but the hat still stands.
  glColor3f(1.0f, 1.0f, 1.0f);
  m_bodyTexture.Bind();
  DrawShape(LowerBody);
  glTranslatef(0.0f, 2.45f, 0.0f);
  DrawShape(MiddleBody);
  glTranslatef(0.0f, 1.65f, 0.0f);
  DrawShape(Head);

  DrawHat();
  DrawFace();

  glPopMatrix();
}

// Drawn at the head's centre. Additive under the resting blend function, so
// the black texels of the hat image leave what lies behind unchanged.
void SnowFigure::DrawHat() const {
  glEnable(GL_BLEND);
  m_hatTexture.Bind();
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(0.0f, kHatTop, kHatHalfWidth);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(0.0f, kHatTop, -kHatHalfWidth);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(0.0f, kHatBottom, -kHatHalfWidth);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(0.0f, kHatBottom, kHatHalfWidth);
  glEnd();
  glDisable(GL_BLEND);
}

// Drawn at the head's centre with texturing on; switches it off for the nose
// only. Leaves the current colour black.
void SnowFigure::DrawFace() const {
  glDisable(GL_TEXTURE_2D);

  glTranslatef(static_cast<GLfloat>(kHeadRadius), 0.0f, 0.0f);
  glColor3f(1.0f, 0.5f, 0.0f);
  glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
  DrawShape(Nose);

  glEnable(GL_TEXTURE_2D);
  glRotatef(-90.0f, 0.0f, 1.0f, 0.0f);

  glColor3f(0.0f, 0.0f, 0.0f);
  for (const DotStep& step : kDotSteps) {
    glTranslatef(step.x, step.y, step.z);
    DrawShape(Dot);
  }
}
