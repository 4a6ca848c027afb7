#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "scenes/Snowfall.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

bool IsWhole(float value) { return std::fabs(value - std::round(value)) < 1e-4f; }

// Index 1..n when value is n steps of `step` (to float precision), else 0.
int StepsOf(float value, float step) {
  const float steps = value / step;
  return IsWhole(steps) ? static_cast<int>(std::lround(steps)) : 0;
}

void ExpectScatteredPlace(const Flake& flake, int index) {
  SCOPED_TRACE(index);
  EXPECT_TRUE(IsWhole(flake.x)) << flake.x;
  EXPECT_GE(flake.x, -49.0f);
  EXPECT_LE(flake.x, 49.0f);
  EXPECT_TRUE(IsWhole(flake.z)) << flake.z;
  EXPECT_GE(flake.z, -49.0f);
  EXPECT_LE(flake.z, 0.0f);
  for (float angle : {flake.angleX, flake.angleY, flake.angleZ}) {
    EXPECT_EQ(angle, std::round(angle));
    EXPECT_GE(angle, 0.0f);
    EXPECT_LE(angle, 359.0f);
  }
}

std::vector<Flake> Snapshot(const Snowfall& snow) {
  std::vector<Flake> flakes;
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) flakes.push_back(snow.FlakeAt(i));
  return flakes;
}

class SnowfallGlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HeadlessGl::Shared().Ok());
    HeadlessGl::Shared().ResetScene();
    std::srand(7);
    m_snow.Init(nullptr);
  }
  Snowfall m_snow;
};

}  // namespace

TEST(SnowfallInit, ScattersEveryFlakeOverTheDocumentedRanges) {
  for (unsigned seed : {1u, 42u, 20261224u}) {
    SCOPED_TRACE(seed);
    std::srand(seed);
    Snowfall snow;
    snow.Init(nullptr);
    std::set<int> speeds;
    for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
      const Flake& flake = snow.FlakeAt(i);
      ExpectScatteredPlace(flake, i);
      EXPECT_TRUE(IsWhole(flake.y)) << flake.y;
      EXPECT_GE(flake.y, -2.0f);
      EXPECT_LE(flake.y, 22.0f);
      const int step = StepsOf(flake.fallSpeed, 0.005f);
      EXPECT_GE(step, 1) << flake.fallSpeed;
      EXPECT_LE(step, 5) << flake.fallSpeed;
      speeds.insert(step);
    }
    EXPECT_EQ(speeds.size(), 5u);
  }
}

TEST(SnowfallInit, TakesEightRandomNumbersPerFlakeInTheListedOrder) {
  std::srand(99);
  int r[16];
  for (int& value : r) value = std::rand();
  std::srand(99);
  Snowfall snow;
  snow.Init(nullptr);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const int* n = r + 8 * i;
    const Flake& flake = snow.FlakeAt(i);
    EXPECT_FLOAT_EQ(flake.x, static_cast<float>(n[0] % 50 - n[1] % 50));
    EXPECT_FLOAT_EQ(flake.y, static_cast<float>(n[2] % 25 - 2));
    EXPECT_FLOAT_EQ(flake.z, static_cast<float>(-(n[3] % 50)));
    EXPECT_EQ(flake.angleX, static_cast<float>(n[4] % 360));
    EXPECT_EQ(flake.angleY, static_cast<float>(n[5] % 360));
    EXPECT_EQ(flake.angleZ, static_cast<float>(n[6] % 360));
    EXPECT_FLOAT_EQ(flake.fallSpeed, static_cast<float>(n[7] % 5 + 1) * 0.005f);
  }
}

TEST(SnowfallConstruction, FlakesAreDefinedBeforeInit) {
  Snowfall snow;
  for (int i : {0, 250, Snowfall::kFlakeCount - 1}) {
    const Flake& flake = snow.FlakeAt(i);
    EXPECT_EQ(flake.y, 0.0f);
    EXPECT_EQ(flake.fallSpeed, 0.0f);
  }
}

TEST_F(SnowfallGlTest, RespawnTakesSevenRandomNumbersInTheListedOrder) {
  Flake falling;
  falling.y = -14.5f;
  falling.fallSpeed = 1.0f;
  m_snow.PlaceFlake(0, falling);
  for (int i = 1; i < Snowfall::kFlakeCount; ++i) m_snow.PlaceFlake(i, Flake{});  // these stay put
  std::srand(5);
  int r[7];
  for (int& value : r) value = std::rand();
  std::srand(5);
  m_snow.UpdateAndDraw(1.0f);
  const Flake& flake = m_snow.FlakeAt(0);
  EXPECT_FLOAT_EQ(flake.x, static_cast<float>(r[0] % 50 - r[1] % 50));
  EXPECT_EQ(flake.y, 25.0f);
  EXPECT_FLOAT_EQ(flake.z, static_cast<float>(-(r[2] % 50)));
  EXPECT_EQ(flake.angleX, static_cast<float>(r[3] % 360));
  EXPECT_EQ(flake.angleY, static_cast<float>(r[4] % 360));
  EXPECT_EQ(flake.angleZ, static_cast<float>(r[5] % 360));
  EXPECT_FLOAT_EQ(flake.fallSpeed, static_cast<float>(r[6] % 10 + 1) * 0.01f);
  const int next = std::rand();
  std::srand(5);
  for (int i = 0; i < 7; ++i) std::rand();
  EXPECT_EQ(next, std::rand()) << "exactly seven numbers taken";
}

TEST_F(SnowfallGlTest, RespawnsWhenTheMoveReachesMinusFifteen) {
  struct Case {
    float y;
    float speed;
    float dt;
    bool respawns;
    float yAfter;  // when it keeps falling
  };
  const Case cases[] = {
      {0.0f, 15.0f, 1.0f, true, 0.0f},           // lands exactly on -15
      {0.0f, 14.99f, 1.0f, false, -14.99f},      // just above
      {-14.99f, 0.5f, 0.0f, false, -14.99f},     // dt 0: stays
      {20.0f, 0.1f, 1.0e6f, true, 0.0f},         // far below in one long frame
      {-14.0f, 0.01f, 99.0f, false, -14.99f},    // ordinary fall, not there yet
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "y=" << c.y << " speed=" << c.speed << " dt=" << c.dt);
    Flake placed;
    placed.x = 3.0f;
    placed.y = c.y;
    placed.z = -4.0f;
    placed.fallSpeed = c.speed;
    m_snow.PlaceFlake(0, placed);
    m_snow.UpdateAndDraw(c.dt);
    const Flake& after = m_snow.FlakeAt(0);
    if (c.respawns) {
      EXPECT_EQ(after.y, 25.0f);
      ExpectScatteredPlace(after, 0);
      const int step = StepsOf(after.fallSpeed, 0.01f);
      EXPECT_GE(step, 1) << after.fallSpeed;
      EXPECT_LE(step, 10) << after.fallSpeed;
    } else {
      EXPECT_FLOAT_EQ(after.y, c.yAfter);
      EXPECT_EQ(after.x, 3.0f);
      EXPECT_EQ(after.z, -4.0f);
      EXPECT_EQ(after.fallSpeed, c.speed);
    }
  }
}

TEST_F(SnowfallGlTest, RespawnSpeedsAreHundredthsFromOneToTen) {
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
    Flake flake = m_snow.FlakeAt(i);
    flake.y = -14.5f;
    flake.fallSpeed = 1.0f;
    m_snow.PlaceFlake(i, flake);
  }
  m_snow.UpdateAndDraw(1.0f);
  std::set<int> steps;
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
    const Flake& flake = m_snow.FlakeAt(i);
    ASSERT_EQ(flake.y, 25.0f) << i;
    const int step = StepsOf(flake.fallSpeed, 0.01f);
    EXPECT_GE(step, 1) << flake.fallSpeed;
    EXPECT_LE(step, 10) << flake.fallSpeed;
    steps.insert(step);
  }
  EXPECT_EQ(steps.size(), 10u);
}

TEST_F(SnowfallGlTest, ZeroFrameTimeMovesNothingButDrawsEveryFlake) {
  const std::vector<Flake> before = Snapshot(m_snow);
  glTranslatef(0.0f, 0.0f, -8.0f);
  m_snow.UpdateAndDraw(0.0f);
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
    const Flake& flake = m_snow.FlakeAt(i);
    EXPECT_EQ(flake.x, before[i].x);
    EXPECT_EQ(flake.y, before[i].y);
    EXPECT_EQ(flake.z, before[i].z);
    EXPECT_EQ(flake.angleX, before[i].angleX);
    EXPECT_EQ(flake.angleY, before[i].angleY);
    EXPECT_EQ(flake.angleZ, before[i].angleZ);
    EXPECT_EQ(flake.fallSpeed, before[i].fallSpeed);
  }
  // Untextured white squares, added onto black: plenty of lit pixels.
  const std::vector<std::uint8_t> pixels = HeadlessGl::Shared().ReadPixels();
  int lit = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 3) lit += (pixels[i] + pixels[i + 1] + pixels[i + 2]) > 0;
  EXPECT_GT(lit, 1000);
  HeadlessGl::Shared().SaveBmp(::testing::TempDir() + "snowfall_dt0.bmp");
}

TEST_F(SnowfallGlTest, DrawShowsEachFlakeWhereItStandsAndUpdateDrawsNothing) {
  HeadlessGl& gl = HeadlessGl::Shared();
  // Every flake but the first out of sight behind the eye.
  for (int i = 1; i < Snowfall::kFlakeCount; ++i) {
    Flake hidden;
    hidden.y = 10.0f;
    hidden.z = 50.0f;
    m_snow.PlaceFlake(i, hidden);
  }
  Flake watched;
  watched.z = -8.0f;
  watched.fallSpeed = 0.01f;
  m_snow.PlaceFlake(0, watched);

  auto centreIsLit = [&gl]() {
    const std::vector<std::uint8_t> pixels = gl.ReadPixels();
    std::uint8_t rgb[3];
    gl.Pixel(pixels, gl.Width() / 2, gl.Height() / 2, rgb);
    return rgb[0] + rgb[1] + rgb[2] > 0;
  };
  m_snow.Draw();
  EXPECT_TRUE(centreIsLit());
  // The move takes the flake to y = -10, out of view, and draws nothing.
  gl.ResetScene();
  m_snow.Update(1000.0f);
  EXPECT_FALSE(centreIsLit());
  EXPECT_FLOAT_EQ(m_snow.FlakeAt(0).y, -10.0f);
  m_snow.Draw();
  EXPECT_FALSE(centreIsLit());
}

TEST_F(SnowfallGlTest, HundredMillisecondsTurnEveryAngleByTenDegrees) {
  const std::vector<Flake> before = Snapshot(m_snow);
  m_snow.UpdateAndDraw(100.0f);
  for (int i = 0; i < Snowfall::kFlakeCount; ++i) {
    SCOPED_TRACE(i);
    const Flake& flake = m_snow.FlakeAt(i);
    EXPECT_EQ(flake.angleX, before[i].angleX + 10.0f);
    EXPECT_EQ(flake.angleY, before[i].angleY + 10.0f);
    EXPECT_EQ(flake.angleZ, before[i].angleZ + 10.0f);
    EXPECT_FLOAT_EQ(flake.y, before[i].y - 100.0f * before[i].fallSpeed);
  }
}

TEST_F(SnowfallGlTest, LeavesBlendingOffAndTheRestOfTheStateAsFound) {
  for (bool blendBefore : {false, true}) {
    SCOPED_TRACE(blendBefore);
    HeadlessGl::Shared().ResetScene();
    if (blendBefore) glEnable(GL_BLEND);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    m_snow.UpdateAndDraw(16.0f);
    const GlState state = GlState::Capture();
    EXPECT_EQ(state, RestingGlState()) << state.Describe();
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0) << "a snowfall without texture draws with texture 0";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
  }
}
