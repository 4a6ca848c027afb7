#pragma once

#include "gfx/DisplayList.h"
#include "gfx/QuadricHandle.h"

#include <GL/glu.h>

#include <memory>

#include "gfx/Texture.h"

// The small figure that turns behind the intro's title words: three textured
// spheres, a flat textured hat, an orange cone for a nose and five black dots
// for eyes and mouth. The face looks along +x of the figure's own frame.
class SnowFigure {
 public:
  SnowFigure() = default;
  virtual ~SnowFigure() = default;
  SnowFigure(const SnowFigure&) = delete;
  SnowFigure& operator=(const SnowFigure&) = delete;

  // Loads the body and hat images, creates the two quadrics and records the
  // figure's round shapes once. Needs the GL context current. A missing image leaves that part untextured.
  void Init();
  // Turns the figure by dt milliseconds (a tenth of a degree per ms).
  void Update(float dt);
  // Draws the figure standing on the base point. Restores texturing,
  // blending and the matrix; the current colour is left black.
  void Draw() const;
  // Update, then Draw.
  void UpdateAndDraw(float dt);

  void SetPosition(float x, float y, float z);
  float X() const { return m_x; }
  float Y() const { return m_y; }
  float Z() const { return m_z; }
  float Angle() const { return m_angle; }
  void SetAngle(float degrees) { m_angle = degrees; }

 private:
  // The figure's quadric shapes, each recorded once by Init.
  enum Shape { LowerBody, MiddleBody, Head, Nose, Dot, ShapeCount };

  void DrawHat() const;
  void DrawFace() const;
  // Runs a shape's recording; draws it directly if it has none.
  void DrawShape(Shape shape) const;
  // Issues a shape's quadric calls; nothing without its quadric.
  void IssueShape(Shape shape) const;

  float m_x = 0.0f;
  float m_y = 0.0f;
  float m_z = 0.0f;
  Texture m_bodyTexture;
  Texture m_hatTexture;
  QuadricHandle m_texturedQuadric;
  QuadricHandle m_plainQuadric;
  DisplayList m_shapes[ShapeCount];
  float m_angle = 0.0f;
};
