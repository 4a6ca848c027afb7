#pragma once

#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <vector>

// Turns a FreeType glyph outline into polygons and triangles: Bezier
// segments are flattened to straight edges, the contours are filled by the
// GLU tessellator under the nonzero winding rule (so counters stay open), and
// the filling comes out as triangle fans, strips and lists, counter-clockwise
// as seen from +z (GLU orients its output by the tessellation normal).
// Coordinates stay in the outline's own units. One object collects the
// shapes of many glyphs in shared arrays, so that a whole font is outlined
// before any of it goes to GL and the arrays grow only a few times.
class GlyphOutliner {
 public:
  struct Point {
    float x = 0;
    float y = 0;
  };
  // A closed contour: Points()[first] .. Points()[first + count - 1].
  struct Contour {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };

  // tolerance: how far the flattened edges may stray from the true curves.
  explicit GlyphOutliner(float tolerance);
  GlyphOutliner(const GlyphOutliner&) = delete;
  GlyphOutliner& operator=(const GlyphOutliner&) = delete;

  // One primitive of the filling: Indices()[first] .. [first + count - 1]
  // drawn as GL_TRIANGLES, GL_TRIANGLE_FAN or GL_TRIANGLE_STRIP.
  struct Run {
    GLenum mode = GL_TRIANGLES;
    std::uint32_t first = 0;
    std::uint32_t count = 0;
  };

  // One glyph's part of the shared arrays.
  struct Shape {
    std::uint32_t contourFirst = 0;
    std::uint32_t contourCount = 0;
    std::uint32_t runFirst = 0;
    std::uint32_t runCount = 0;
    // True when the filled area lies to the right of each contour's
    // direction (TrueType's convention); false for PostScript outlines.
    bool filledOnRight = true;
  };

  // Flattens and tessellates one outline and adds it. False when the
  // tessellator fails; the shape keeps its contours then, but no filling.
  bool Add(const FT_Outline& outline, Shape& shape);

  // Contour points and any points the tessellator added at crossings.
  const std::vector<Point>& Points() const { return m_points; }
  const std::vector<Contour>& Contours() const { return m_contours; }
  // The filling, as primitives over indices into Points(). Fans and strips
  // need fewer vertices than separate triangles, which keeps the display
  // lists small and quick to compile.
  const std::vector<Run>& Runs() const { return m_runs; }
  const std::vector<std::uint32_t>& Indices() const { return m_indices; }
  // A shape's filling as separate triangles (index triples), appended to out.
  void AppendTriangles(const Shape& shape, std::vector<std::uint32_t>& out) const;

 private:
  struct TessDeleter {
    void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
  };

  static int MoveTo(const FT_Vector* to, void* user);
  static int LineTo(const FT_Vector* to, void* user);
  static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user);
  static int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user);

  static void GLAPIENTRY TessBegin(GLenum type, void* user);
  static void GLAPIENTRY TessVertex(void* vertex, void* user);
  static void GLAPIENTRY TessCombine(GLdouble coords[3], void* vertices[4], GLfloat weights[4], void** out, void* user);
  static void GLAPIENTRY TessError(GLenum error, void* user);

  void AddPoint(float x, float y);
  void CloseContour();
  bool Tessellate(std::uint32_t contourFirst);

  float m_tolerance;
  std::unique_ptr<GLUtesselator, TessDeleter> m_tess;
  std::vector<Point> m_points;
  std::vector<Contour> m_contours;
  std::vector<Run> m_runs;
  std::vector<std::uint32_t> m_indices;
  Point m_pen;
  bool m_contourOpen = false;
  bool m_tessFailed = false;
};
