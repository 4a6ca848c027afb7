#include "scenes/SnowFigure.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// Where the intro places the figure; the head's centre is then at (0, 0.55, -12).
constexpr float kBaseX = 0.0f;
constexpr float kBaseY = -5.0f;
constexpr float kBaseZ = -12.0f;
constexpr double kHeadCentreY = 0.55;

bool IsOrange(const std::uint8_t rgb[3]) {
  const int r = rgb[0];
  const int g = rgb[1];
  const int b = rgb[2];
  return r > 40 && g * 4 >= r && g * 4 <= r * 3 && b * 5 < r;
}

struct PixelBox {
  int left;
  int bottom;
  int right;
  int top;
};

// Centre of the orange pixels inside a box, and how many there are.
int OrangeCentroid(const HeadlessGl& gl, const std::vector<std::uint8_t>& pixels, const PixelBox& box, double& x,
                   double& y) {
  int count = 0;
  double sumX = 0;
  double sumY = 0;
  for (int py = box.bottom; py <= box.top; ++py) {
    for (int px = box.left; px <= box.right; ++px) {
      std::uint8_t rgb[3];
      gl.Pixel(pixels, px, py, rgb);
      if (IsOrange(rgb)) {
        ++count;
        sumX += px;
        sumY += py;
      }
    }
  }
  x = count > 0 ? sumX / count : 0;
  y = count > 0 ? sumY / count : 0;
  return count;
}

int LitPixels(const HeadlessGl& gl, const std::vector<std::uint8_t>& pixels, int row, int left, int right) {
  int count = 0;
  for (int px = left; px <= right; ++px) {
    std::uint8_t rgb[3];
    gl.Pixel(pixels, px, row, rgb);
    if (rgb[0] + rgb[1] + rgb[2] > 30) ++count;
  }
  return count;
}

void SavePicture(const HeadlessGl& gl, const std::string& name) {
  gl.SaveBmp(::testing::TempDir() + name + ".bmp");
}

class SnowFigureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_gl.Ok()) GTEST_SKIP() << "no headless GL context";
    m_gl.ResetScene();
  }

  // Draws a freshly made figure at the intro's base point, turned to an angle.
  std::vector<std::uint8_t> DrawAt(float angle) {
    SnowFigure figure;
    figure.Init();
    figure.SetPosition(kBaseX, kBaseY, kBaseZ);
    figure.SetAngle(angle);
    figure.UpdateAndDraw(0.0f);
    return m_gl.ReadPixels();
  }

  HeadlessGl& m_gl = HeadlessGl::Shared();
};

TEST_F(SnowFigureTest, TurnsATenthOfADegreePerMillisecondWithoutWrapping) {
  struct Case {
    float dt;
    float angle;
  };
  const Case cases[] = {{0.0f, 0.0f}, {16.0f, 1.6f}, {2700.0f, 270.0f}, {3600.0f, 360.0f}, {5000.0f, 500.0f}};
  for (const Case& c : cases) {
    SnowFigure figure;
    figure.Init();
    figure.UpdateAndDraw(c.dt);
    EXPECT_NEAR(figure.Angle(), c.angle, 1e-3f) << "dt " << c.dt;
  }
  SnowFigure figure;
  figure.Init();
  figure.UpdateAndDraw(3000.0f);
  figure.UpdateAndDraw(1000.0f);
  EXPECT_NEAR(figure.Angle(), 400.0f, 1e-3f);
}

TEST_F(SnowFigureTest, RestoresStateAndMatrixAndLeavesColourBlack) {
  glTranslatef(0.25f, -0.5f, -1.0f);
  GLfloat before[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);

  SnowFigure figure;
  figure.Init();
  figure.SetPosition(kBaseX, kBaseY, kBaseZ);
  for (float dt : {0.0f, 16.0f, 900.0f}) {
    figure.UpdateAndDraw(dt);
    EXPECT_EQ(GlState::Capture(), RestingGlState()) << GlState::Capture().Describe();
    GLfloat after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << "element " << i;
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 0.0f);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SnowFigureTest, DrawingBeforeInitIsHarmless) {
  SnowFigure figure;
  figure.SetPosition(kBaseX, kBaseY, kBaseZ);
  figure.UpdateAndDraw(10.0f);
  EXPECT_NEAR(figure.Angle(), 1.0f, 1e-6f);
  EXPECT_EQ(GlState::Capture(), RestingGlState()) << GlState::Capture().Describe();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The nose points along +x of the figure: right at 0 degrees, at the viewer at
// 270, left at 180 and away (hidden by the head) at 90.
TEST_F(SnowFigureTest, NoseFollowsTheTurn) {
  struct Case {
    float angle;
    int side;  // -1 left of the head centre, 0 on it, +1 right; 2 not visible
    const char* picture;
  };
  const Case cases[] = {{0.0f, 1, "snowfigure_000"}, {90.0f, 2, "snowfigure_090"}, {180.0f, -1, "snowfigure_180"},
                        {270.0f, 0, "snowfigure_270"}};
  for (const Case& c : cases) {
    m_gl.ResetScene();
    double headX = 0;
    double headY = 0;
    ASSERT_TRUE(m_gl.Project(kBaseX, kHeadCentreY, kBaseZ, headX, headY));
    const std::vector<std::uint8_t> pixels = DrawAt(c.angle);
    SavePicture(m_gl, c.picture);

    // The nose lies within 0.8 units of the head centre; a box of about 50
    // pixels each side, kept low enough to miss the red hat.
    const PixelBox box{static_cast<int>(headX) - 50, static_cast<int>(headY) - 15, static_cast<int>(headX) + 50,
                       static_cast<int>(headY) + 15};
    double noseX = 0;
    double noseY = 0;
    const int count = OrangeCentroid(m_gl, pixels, box, noseX, noseY);
    SCOPED_TRACE(::testing::Message() << "angle " << c.angle << ": " << count << " orange pixels at (" << noseX << ", "
                                      << noseY << "), head centre (" << headX << ", " << headY << ")");
    if (c.side == 2) {
      EXPECT_EQ(count, 0);
      continue;
    }
    ASSERT_GT(count, 3);
    EXPECT_NEAR(noseY, headY, 4.0);
    if (c.side == 0) {
      EXPECT_NEAR(noseX, headX, 4.0);
    } else {
      EXPECT_GT((noseX - headX) * c.side, 20.0);
    }
  }
}

// The hat quad stands in the plane x = 0 of the head: edge-on at 0 degrees, a
// broad picture facing the viewer at 270.
TEST_F(SnowFigureTest, HatFacesTheViewerOnlyWhenTurnedSideways) {
  double hatX = 0;
  double hatY = 0;
  ASSERT_TRUE(m_gl.Project(kBaseX, kHeadCentreY + 1.2, kBaseZ, hatX, hatY));
  const int row = static_cast<int>(hatY);
  const int left = static_cast<int>(hatX) - 60;
  const int right = static_cast<int>(hatX) + 60;

  const int edgeOn = LitPixels(m_gl, DrawAt(0.0f), row, left, right);
  m_gl.ResetScene();
  const int facing = LitPixels(m_gl, DrawAt(270.0f), row, left, right);
  EXPECT_LE(edgeOn, 3);
  EXPECT_GT(facing, 20);
}

}  // namespace
