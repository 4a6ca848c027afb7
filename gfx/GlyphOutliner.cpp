#include "gfx/GlyphOutliner.h"

#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Number of equal parameter steps that keep a Bezier curve within tolerance
// of its chords. With M the largest second difference of the control points
// and degree d, n = sqrt(d (d - 1) / 8 * M / tolerance) steps suffice.
int Steps(float degreeFactor, float secondDifference, float tolerance) {
  const float n = std::ceil(std::sqrt(degreeFactor * secondDifference / tolerance));
  return std::clamp(static_cast<int>(n), 1, 256);
}

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

GlyphOutliner* Self(void* user) { return static_cast<GlyphOutliner*>(user); }

constexpr int kShift = 6;
constexpr float kUnscale = 1.0f / (1 << kShift);

GlyphOutliner::Point Unscaled(const FT_Vector* v) {
  return GlyphOutliner::Point{static_cast<float>(v->x) * kUnscale, static_cast<float>(v->y) * kUnscale};
}

}  // namespace

GlyphOutliner::GlyphOutliner(float tolerance) : m_tolerance(tolerance > 0 ? tolerance : 1.0f) {
  m_tess.reset(gluNewTess());
  if (m_tess == nullptr) return;
  GLUtesselator* tess = m_tess.get();
  // Plain function pointers travel through GLU's generic callback type.
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&TessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&TessVertex));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&TessCombine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&TessError));
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0.0, 0.0, 1.0);
  m_points.reserve(16384);
  m_contours.reserve(1024);
  m_runs.reserve(8192);
  m_indices.reserve(32768);
}

bool GlyphOutliner::Add(const FT_Outline& outline, Shape& shape) {
  shape = Shape{};
  shape.contourFirst = static_cast<std::uint32_t>(m_contours.size());
  shape.runFirst = static_cast<std::uint32_t>(m_runs.size());
  shape.filledOnRight = FT_Outline_Get_Orientation(const_cast<FT_Outline*>(&outline)) != FT_ORIENTATION_POSTSCRIPT;

  FT_Outline_Funcs funcs{};
  funcs.move_to = &MoveTo;
  funcs.line_to = &LineTo;
  funcs.conic_to = &ConicTo;
  funcs.cubic_to = &CubicTo;
  // FreeType puts the implied on-curve point between two control points at
  // their midpoint in integer arithmetic; scaling the coordinates up first
  // keeps that midpoint exact to 1/128 unit instead of rounding by half a unit.
  funcs.shift = kShift;
  funcs.delta = 0;
  const FT_Error error = FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, this);
  CloseContour();
  if (error != 0) {
    const Contour first = shape.contourFirst < m_contours.size() ? m_contours[shape.contourFirst] : Contour{};
    if (shape.contourFirst < m_contours.size()) m_points.resize(first.first);
    m_contours.resize(shape.contourFirst);
    return false;
  }
  shape.contourCount = static_cast<std::uint32_t>(m_contours.size()) - shape.contourFirst;
  if (shape.contourCount == 0) return true;
  const std::size_t indexMark = m_indices.size();
  if (!Tessellate(shape.contourFirst)) {
    m_runs.resize(shape.runFirst);
    m_indices.resize(indexMark);
    return false;
  }
  shape.runCount = static_cast<std::uint32_t>(m_runs.size()) - shape.runFirst;
  return true;
}

void GlyphOutliner::AddPoint(float x, float y) {
  m_pen = Point{x, y};
  if (!m_contourOpen) return;
  if (m_contours.back().count > 0) {
    const Point& last = m_points.back();
    if (last.x == x && last.y == y) return;  // zero-length edge
  }
  m_points.push_back(Point{x, y});
  ++m_contours.back().count;
}

void GlyphOutliner::CloseContour() {
  if (!m_contourOpen) return;
  m_contourOpen = false;
  Contour& open = m_contours.back();
  // FreeType closes every contour with an edge back to its start; the
  // repeated start point is dropped, the polygon closes implicitly.
  if (open.count > 1) {
    const Point& first = m_points[open.first];
    const Point& last = m_points.back();
    if (first.x == last.x && first.y == last.y) {
      m_points.pop_back();
      --open.count;
    }
  }
  if (open.count < 3) {  // no area: a dot or a line
    m_points.resize(open.first);
    m_contours.pop_back();
  }
}

int GlyphOutliner::MoveTo(const FT_Vector* to, void* user) {
  GlyphOutliner* self = Self(user);
  self->CloseContour();
  self->m_contours.push_back(Contour{static_cast<std::uint32_t>(self->m_points.size()), 0});
  self->m_contourOpen = true;
  const Point p = Unscaled(to);
  self->AddPoint(p.x, p.y);
  return 0;
}

int GlyphOutliner::LineTo(const FT_Vector* to, void* user) {
  const Point p = Unscaled(to);
  Self(user)->AddPoint(p.x, p.y);
  return 0;
}

int GlyphOutliner::ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  GlyphOutliner* self = Self(user);
  const Point p0 = self->m_pen;
  const Point p1 = Unscaled(control);
  const Point p2 = Unscaled(to);
  const float ddx = p0.x - 2 * p1.x + p2.x;
  const float ddy = p0.y - 2 * p1.y + p2.y;
  const int steps = Steps(0.25f, Length(ddx, ddy), self->m_tolerance);
  for (int i = 1; i < steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    const float u = 1 - t;
    self->AddPoint(u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y);
  }
  self->AddPoint(p2.x, p2.y);
  return 0;
}

int GlyphOutliner::CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  GlyphOutliner* self = Self(user);
  const Point p0 = self->m_pen;
  const Point p1 = Unscaled(control1);
  const Point p2 = Unscaled(control2);
  const Point p3 = Unscaled(to);
  const float dd1 = Length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
  const float dd2 = Length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
  const int steps = Steps(0.75f, std::max(dd1, dd2), self->m_tolerance);
  for (int i = 1; i < steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    const float u = 1 - t;
    const float a = u * u * u;
    const float b = 3 * u * u * t;
    const float c = 3 * u * t * t;
    const float d = t * t * t;
    self->AddPoint(a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y);
  }
  self->AddPoint(p3.x, p3.y);
  return 0;
}

bool GlyphOutliner::Tessellate(std::uint32_t contourFirst) {
  if (m_tess == nullptr) return false;
  m_tessFailed = false;
  GLUtesselator* tess = m_tess.get();
  gluTessBeginPolygon(tess, this);
  for (std::size_t c = contourFirst; c < m_contours.size(); ++c) {
    const Contour contour = m_contours[c];
    gluTessBeginContour(tess);
    for (std::uint32_t i = contour.first; i < contour.first + contour.count; ++i) {
      GLdouble coords[3] = {m_points[i].x, m_points[i].y, 0.0};
      // Vertex data carries the point's index plus one, so that it is never null.
      gluTessVertex(tess, coords, reinterpret_cast<void*>(static_cast<std::uintptr_t>(i) + 1));
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  return !m_tessFailed;
}

void GlyphOutliner::AppendTriangles(const Shape& shape, std::vector<std::uint32_t>& out) const {
  for (std::uint32_t r = shape.runFirst; r < shape.runFirst + shape.runCount; ++r) {
    const Run& run = m_runs[r];
    const std::uint32_t* v = m_indices.data() + run.first;
    if (run.mode == GL_TRIANGLE_FAN) {
      for (std::uint32_t i = 1; i + 1 < run.count; ++i) out.insert(out.end(), {v[0], v[i], v[i + 1]});
    } else if (run.mode == GL_TRIANGLE_STRIP) {
      // Every second strip triangle is wound the other way round by GL.
      for (std::uint32_t i = 0; i + 2 < run.count; ++i) {
        if (i % 2 == 0) {
          out.insert(out.end(), {v[i], v[i + 1], v[i + 2]});
        } else {
          out.insert(out.end(), {v[i + 1], v[i], v[i + 2]});
        }
      }
    } else {
      out.insert(out.end(), v, v + run.count - run.count % 3);
    }
  }
}

void GLAPIENTRY GlyphOutliner::TessBegin(GLenum type, void* user) {
  GlyphOutliner* self = Self(user);
  self->m_runs.push_back(Run{type, static_cast<std::uint32_t>(self->m_indices.size()), 0});
}

void GLAPIENTRY GlyphOutliner::TessVertex(void* vertex, void* user) {
  GlyphOutliner* self = Self(user);
  const auto index = reinterpret_cast<std::uintptr_t>(vertex) - 1;
  self->m_indices.push_back(static_cast<std::uint32_t>(index));
  if (!self->m_runs.empty()) ++self->m_runs.back().count;
}

void GLAPIENTRY GlyphOutliner::TessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user) {
  GlyphOutliner* self = Self(user);
  self->m_points.push_back(Point{static_cast<float>(coords[0]), static_cast<float>(coords[1])});
  *out = reinterpret_cast<void*>(static_cast<std::uintptr_t>(self->m_points.size()));
}

void GLAPIENTRY GlyphOutliner::TessError(GLenum, void* user) { Self(user)->m_tessFailed = true; }
