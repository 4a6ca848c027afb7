#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "scenes/IntroSequence.h"
#include "scenes/SnowFigure.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

using Pixels = std::vector<std::uint8_t>;

struct PixelBox {
  int left;
  int bottom;
  int right;
  int top;
};

bool IsLit(const std::uint8_t rgb[3]) { return rgb[0] + rgb[1] + rgb[2] > 60; }

// Nearly grey: the lit white of a word, not the bluish body or the red hat.
bool IsGreyish(const std::uint8_t rgb[3]) {
  const int r = rgb[0];
  const int g = rgb[1];
  const int b = rgb[2];
  return r > 40 && std::abs(r - g) < 12 && std::abs(r - b) < 12;
}

int CountIn(const HeadlessGl& gl, const Pixels& pixels, const PixelBox& box, bool (*test)(const std::uint8_t*)) {
  int count = 0;
  for (int y = box.bottom; y <= box.top; ++y) {
    for (int x = box.left; x <= box.right; ++x) {
      std::uint8_t rgb[3];
      gl.Pixel(pixels, x, y, rgb);
      if (test(rgb)) ++count;
    }
  }
  return count;
}

int DifferingPixels(const Pixels& a, const Pixels& b) {
  int count = 0;
  for (std::size_t i = 0; i + 2 < a.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++count;
  }
  return count;
}

class IntroRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_gl.Ok()) GTEST_SKIP() << "no headless GL context";
    m_gl.ResetScene();
    m_clock.SetCounter(5'000'000);
    m_intro.PhaseTimer().UseClock(m_clock);
    m_intro.Init(nullptr);
    m_figure.Init();
    m_figure.SetPosition(0.0f, -5.0f, -12.0f);
  }

  // One intro frame on a cleared screen; checks the state it leaves.
  Pixels IntroFrame(double realMs, float dt) {
    m_gl.ResetScene();
    m_clock.AdvanceMs(realMs);
    m_intro.UpdateAndDraw(dt);
    EXPECT_EQ(GlState::Capture(), RestingGlState()) << GlState::Capture().Describe();
    return m_gl.ReadPixels();
  }

  // What the intro's figure alone looks like when turned from angle by dt.
  Pixels FigureOnly(float angle, float dt) {
    m_gl.ResetScene();
    m_figure.SetAngle(angle);
    m_figure.UpdateAndDraw(dt);
    return m_gl.ReadPixels();
  }

  void Save(const std::string& name) { m_gl.SaveBmp(::testing::TempDir() + name + ".bmp"); }

  HeadlessGl& m_gl = HeadlessGl::Shared();
  FakeClock m_clock;
  IntroSequence m_intro;
  SnowFigure m_figure;
};

// "Merry" comes in from the left: 400 ms into its phase its centre is at
// x = -2.4, eight units in front of the eye, left of the figure.
TEST_F(IntroRenderTest, MerryStandsLeftOfCentreEarlyInItsPhase) {
  m_intro.Figure().SetAngle(270.0f);
  IntroFrame(2500.0, 400.0f);
  ASSERT_EQ(m_intro.Phase(), 1);
  ASSERT_NEAR(m_intro.PosX(), -2.4f, 1e-4f);
  const Pixels pixels = m_gl.ReadPixels();
  Save("intro_merry");

  // The word's band: baseline at the screen's middle row, about a third of a
  // unit high at this distance. The figure's head covers x 289..351.
  const PixelBox left{40, 236, 270, 310};
  const PixelBox right{380, 236, 630, 310};
  EXPECT_GT(CountIn(m_gl, pixels, left, IsGreyish), 300);
  EXPECT_EQ(CountIn(m_gl, pixels, right, IsLit), 0);
}

// Whether the word shows is read against the figure drawn alone: a word with
// alpha at or below 0 leaves the picture untouched, one above 0 changes it.
TEST_F(IntroRenderTest, WordShowsOnlyWhileItsAlphaIsAboveZero) {
  struct Case {
    int phase;
    float dt;
    bool visible;
    const char* picture;
  };
  const Case cases[] = {
      {0, 1000.0f, true, "intro_the_1000"},        {0, 2200.0f, false, "intro_the_2200"},
      {2, 1000.0f, true, "intro_christmas_1000"},  {3, 1000.0f, true, "intro_veltranic_1000"},
      {4, 1000.0f, true, "intro_brought_1000"},    {4, 2200.0f, false, "intro_brought_2200"},
      {5, 0.0f, false, "intro_by_0"},              {5, 1000.0f, true, "intro_by_1000"},
      {6, 0.0f, false, "intro_gorvald_0"},         {6, 1500.0f, true, "intro_gorvald_1500"},
      {6, 2200.0f, true, "intro_gorvald_2200"},
  };
  const float angles[] = {0.0f, 90.0f, 180.0f, 270.0f, 45.0f};
  int i = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.picture);
    m_intro.SetPhase(c.phase);
    const float angle = angles[i++ % 5];
    m_intro.Figure().SetAngle(angle);
    const Pixels withWord = IntroFrame(10.0, c.dt);
    Save(c.picture);
    ASSERT_EQ(m_intro.Phase(), c.phase);
    const Pixels figureOnly = FigureOnly(angle, c.dt);
    if (c.visible) {
      EXPECT_GT(DifferingPixels(withWord, figureOnly), 500);
    } else {
      EXPECT_EQ(DifferingPixels(withWord, figureOnly), 0);
    }
  }
}

// The frame that ends the seventh phase turns and draws the figure, but no
// word, and the sequence is done afterwards.
TEST_F(IntroRenderTest, TheFrameEndingTheLastPhaseDrawsTheFigureOnly) {
  for (int phase = 1; phase <= 6; ++phase) IntroFrame(2500.0, 16.0f);
  ASSERT_EQ(m_intro.Phase(), 6);
  const float angleBefore = m_intro.Figure().Angle();
  const Pixels lastWord = IntroFrame(1500.0, 1500.0f);
  Save("intro_gorvald_last");
  ASSERT_FALSE(m_intro.IsDone());
  EXPECT_GT(DifferingPixels(lastWord, FigureOnly(angleBefore, 1500.0f)), 500);

  const float angleAtEnd = m_intro.Figure().Angle();
  const Pixels ending = IntroFrame(1000.0, 100.0f);
  Save("intro_end");
  EXPECT_TRUE(m_intro.IsDone());
  EXPECT_EQ(m_intro.Phase(), 7);
  EXPECT_NEAR(m_intro.Figure().Angle(), angleAtEnd + 10.0f, 1e-3f);
  EXPECT_EQ(DifferingPixels(ending, FigureOnly(angleAtEnd, 100.0f)), 0);
}

}  // namespace
