#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/FontFace.h"
#include "gfx/GlyphOutliner.h"

namespace {

using Point = GlyphOutliner::Point;

// Signed area of a triangle: positive when counter-clockwise seen from +z.
double TriangleArea(const Point& a, const Point& b, const Point& c) {
  return 0.5 * ((static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
                (static_cast<double>(c.x) - a.x) * (static_cast<double>(b.y) - a.y));
}

class FontGlyphOutlinerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FontFace::Location location;
    ASSERT_TRUE(FontFace::Locate("Arial", 800, false, location));
    ASSERT_TRUE(face.Open(location));
    FT_Select_Charmap(face.Face(), FT_ENCODING_UNICODE);
  }
  const FT_Outline& Load(std::uint32_t codePoint) {
    const FT_UInt glyph = FT_Get_Char_Index(face.Face(), codePoint);
    EXPECT_NE(glyph, 0u);
    EXPECT_EQ(FT_Load_Glyph(face.Face(), glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    return face.Face()->glyph->outline;
  }

  FontFace face;
};

TEST_F(FontGlyphOutlinerTest, FillingCoversTheOutlineAreaAndLeavesCountersOpen) {
  // Letters with one, two and three counters, a glyph with separate parts,
  // and the finale's umlauts.
  // One outliner collects them all, as the font does.
  GlyphOutliner outliner(1.0f);
  for (std::uint32_t codePoint : {U'O', U'a', U'e', U'B', U'8', U'%', U'i', U'\u00E4', U'\u00FC', U'\u20AC'}) {
    GlyphOutliner::Shape shape;
    ASSERT_TRUE(outliner.Add(Load(codePoint), shape)) << codePoint;
    ASSERT_GT(shape.contourCount, 0u) << codePoint;
    const auto& points = outliner.Points();

    // The glyph's area from its contours: outer contours and counters run
    // opposite ways, so their signed areas sum to the inked area.
    double contourArea = 0;
    for (std::uint32_t c = shape.contourFirst; c < shape.contourFirst + shape.contourCount; ++c) {
      const auto& contour = outliner.Contours()[c];
      for (std::uint32_t i = 0; i < contour.count; ++i) {
        const Point& a = points[contour.first + i];
        const Point& b = points[contour.first + (i + 1) % contour.count];
        contourArea += 0.5 * (static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y);
      }
    }
    std::vector<std::uint32_t> triangles;
    outliner.AppendTriangles(shape, triangles);
    ASSERT_EQ(triangles.size() % 3, 0u);
    double filledArea = 0;
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
      const double area = TriangleArea(points[triangles[i]], points[triangles[i + 1]], points[triangles[i + 2]]);
      EXPECT_GE(area, 0) << "clockwise triangle in " << codePoint;
      filledArea += area;
    }
    EXPECT_GT(filledArea, 10000) << codePoint;
    EXPECT_NEAR(filledArea, std::fabs(contourArea), std::fabs(contourArea) * 1e-4) << codePoint;
    EXPECT_EQ(shape.filledOnRight, contourArea < 0) << codePoint;
  }
}

TEST_F(FontGlyphOutlinerTest, FlattenedCurvesStayWithinTheTolerance) {
  // Every flattened point lies on the true outline, so the error is largest
  // about half-way between points; check those midpoints against a dense
  // sampling of the outline's straight and quadratic segments.
  const FT_Outline& outline = Load(U'O');
  std::vector<Point> dense;
  const auto at = [&](int i) { return Point{static_cast<float>(outline.points[i].x), static_cast<float>(outline.points[i].y)}; };
  int start = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    const int end = outline.contours[c];
    const int n = end - start + 1;
    for (int k = 0; k < n; ++k) {
      const int i = start + k;
      const int j = start + (k + 1) % n;
      const bool onI = FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON;
      if (onI) {
        if (FT_CURVE_TAG(outline.tags[j]) == FT_CURVE_TAG_ON) {  // a straight edge
          for (int s = 0; s <= 4000; ++s) {
            const float t = s / 4000.0f;
            dense.push_back(Point{at(i).x + t * (at(j).x - at(i).x), at(i).y + t * (at(j).y - at(i).y)});
          }
        }
        continue;
      }
      // A quadratic segment around every off-curve control point.
      const int h = start + (k + n - 1) % n;
      Point p0 = at(h), p1 = at(i), p2 = at(j);
      if (FT_CURVE_TAG(outline.tags[h]) != FT_CURVE_TAG_ON) p0 = Point{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
      if (FT_CURVE_TAG(outline.tags[j]) != FT_CURVE_TAG_ON) p2 = Point{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
      for (int s = 0; s <= 4000; ++s) {
        const float t = s / 4000.0f, u = 1 - t;
        dense.push_back(Point{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
      }
    }
    start = end + 1;
  }
  ASSERT_FALSE(dense.empty());

  GlyphOutliner outliner(1.0f);
  GlyphOutliner::Shape shape;
  ASSERT_TRUE(outliner.Add(outline, shape));
  const auto& points = outliner.Points();
  double worst = 0;
  for (const auto& contour : outliner.Contours()) {
    for (std::uint32_t i = 0; i < contour.count; ++i) {
      const Point& a = points[contour.first + i];
      const Point& b = points[contour.first + (i + 1) % contour.count];
      const Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
      double nearest = 1e9;
      for (const Point& d : dense) nearest = std::min(nearest, std::hypot(double(d.x) - mid.x, double(d.y) - mid.y));
      worst = std::max(worst, nearest);
    }
  }
  EXPECT_LE(worst, 1.05);
  EXPECT_GT(points.size(), 40u) << "curves were not subdivided";
}

}  // namespace
