#include "scenes/IntroSequence.h"

#include <gtest/gtest.h>


#include "tests/support/FakeClock.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// How each of the seven words looks one second into its phase: what a
// viewer sees of its start and its motion together.
struct ExpectedRow {
  const char* word;
  float scaleAfter1000;
  float posXAfter1000;
  float posYAfter1000;
  float alphaAfter1000;
};

const ExpectedRow kExpected[] = {
    {"The", 4.0f, 0.0f, 0.0f, 0.5f},
    {"Merry", 1.0f, 3.0f, 0.0f, 1.0f},
    {"Christmas", 1.5f, 0.5f, 0.0f, 1.0f},
    {"Veltranic", 3.0f, 0.0f, 0.0f, 1.0f},
    {"Brought to you", 0.5f, 0.0f, 0.0f, 0.5f},
    {"BY", 1.0f, 0.0f, -1.5f, 0.7f},
    {" Gorvald ", 2.5f, 0.0f, 0.0f, 0.7f},
};

void ExpectWordValues(const IntroSequence& intro, float scale, float posX, float posY, float alpha) {
  EXPECT_NEAR(intro.ScaleX(), scale, 1e-4f);
  EXPECT_NEAR(intro.ScaleY(), scale, 1e-4f);
  EXPECT_NEAR(intro.PosX(), posX, 1e-4f);
  EXPECT_NEAR(intro.PosY(), posY, 1e-4f);
  EXPECT_NEAR(intro.Alpha(), alpha, 1e-4f);
}

TEST(IntroPhaseTable, ConstructionLoadsThePhaseOfTheFirstWord) {
  const IntroSequence intro;
  EXPECT_EQ(intro.Phase(), 0);
  EXPECT_FALSE(intro.IsDone());
  EXPECT_EQ(intro.Elapsed(), 0.0f);
  ExpectWordValues(intro, 1.0f, 0.0f, 0.0f, 1.0f);
}

TEST(IntroPhaseTable, EnteringAPhaseAgainStartsItsWordAfresh) {
  ASSERT_EQ(IntroSequence::kPhaseCount, 7);
  for (int phase = 0; phase < IntroSequence::kPhaseCount; ++phase) {
    SCOPED_TRACE(kExpected[phase].word);
    IntroSequence fresh;
    fresh.SetPhase(phase);
    // Leave values behind from another phase first.
    IntroSequence reused;
    reused.SetPhase((phase + 3) % IntroSequence::kPhaseCount);
    reused.SetPhase(phase);
    EXPECT_EQ(reused.Phase(), phase);
    EXPECT_FALSE(reused.IsDone());
    EXPECT_EQ(reused.Elapsed(), 0.0f);
    ExpectWordValues(reused, fresh.ScaleX(), fresh.PosX(), fresh.PosY(), fresh.Alpha());
  }
}

TEST(IntroPhaseTable, AnIndexPastTheTableEndsTheSequenceWithResetValues) {
  for (int index : {7, 8, -1}) {
    IntroSequence intro;
    intro.SetPhase(5);
    intro.SetPhase(index);
    EXPECT_TRUE(intro.IsDone()) << index;
    EXPECT_EQ(intro.Phase(), index);
    EXPECT_EQ(intro.Elapsed(), 0.0f);
    ExpectWordValues(intro, 1.0f, 0.0f, 0.0f, 1.0f);
  }
}

// The sequence on a headless context, its phase clock driven by the test.
class IntroTimingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_gl.Ok()) GTEST_SKIP() << "no headless GL context";
    m_gl.ResetScene();
    m_clock.SetCounter(42'000'000);
    m_intro.PhaseTimer().UseClock(m_clock);
    m_intro.Init(nullptr);
  }

  // One frame: realMs pass on the phase clock, the caller hands over dt.
  void Frame(double realMs, float dt) {
    m_clock.AdvanceMs(realMs);
    m_intro.UpdateAndDraw(dt);
  }

  HeadlessGl& m_gl = HeadlessGl::Shared();
  FakeClock m_clock;
  IntroSequence m_intro;
};

TEST_F(IntroTimingTest, FirstFrameCountsAllTheTimeSinceInit) {
  Frame(1234.0, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 0);
  EXPECT_NEAR(m_intro.Elapsed(), 1234.0f, 1e-3f);
}

TEST_F(IntroTimingTest, PhaseChangesWhenItsOwnClockReaches2500Milliseconds) {
  Frame(2499.5, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 0);
  EXPECT_NEAR(m_intro.Elapsed(), 2499.5f, 1e-3f);
  // The motion follows dt, not the clock.
  EXPECT_NEAR(m_intro.ScaleX(), 1.0f + 16.0f * 0.003f, 1e-5f);

  Frame(0.5, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 1);
  EXPECT_EQ(m_intro.Elapsed(), 0.0f);
}

TEST_F(IntroTimingTest, TheChangingFrameAlreadyMovesTheNewWordByItsDt) {
  Frame(2500.0, 100.0f);
  ASSERT_EQ(m_intro.Phase(), 1);
  EXPECT_EQ(m_intro.PosX(), -6.0f + 100.0f * 0.009f);
  EXPECT_EQ(m_intro.ScaleX(), 1.0f);
  EXPECT_EQ(m_intro.Alpha(), 1.0f);
}

TEST_F(IntroTimingTest, ALongFrameAdvancesOnePhaseOnly) {
  Frame(6000.0, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 1);
  EXPECT_EQ(m_intro.Elapsed(), 0.0f);
  // The kept reading is a float, so a frame without real time may see a
  // hair of rounding, never a second phase change.
  Frame(0.0, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 1);
  EXPECT_NEAR(m_intro.Elapsed(), 0.0f, 1e-3f);
  Frame(2499.0, 16.0f);
  EXPECT_EQ(m_intro.Phase(), 1);
}

TEST_F(IntroTimingTest, ZeroDtMovesNothingWhileTheClockRuns) {
  for (int phase = 0; phase < IntroSequence::kPhaseCount; ++phase) {
    SCOPED_TRACE(kExpected[phase].word);
    m_intro.SetPhase(phase);
    const float angle = m_intro.Figure().Angle();
    const float scale = m_intro.ScaleX();
    const float posX = m_intro.PosX();
    const float posY = m_intro.PosY();
    const float alpha = m_intro.Alpha();
    Frame(300.0, 0.0f);
    Frame(300.0, 0.0f);
    EXPECT_EQ(m_intro.Phase(), phase);
    EXPECT_NEAR(m_intro.Elapsed(), 600.0f, 1e-2f);
    ExpectWordValues(m_intro, scale, posX, posY, alpha);
    EXPECT_EQ(m_intro.Figure().Angle(), angle);
  }
}

TEST_F(IntroTimingTest, EveryPhaseMovesAtItsRates) {
  for (int phase = 0; phase < IntroSequence::kPhaseCount; ++phase) {
    const ExpectedRow& row = kExpected[phase];
    SCOPED_TRACE(row.word);
    m_intro.SetPhase(phase);
    Frame(10.0, 1000.0f);
    ExpectWordValues(m_intro, row.scaleAfter1000, row.posXAfter1000, row.posYAfter1000, row.alphaAfter1000);
  }
}

TEST_F(IntroTimingTest, SevenPhasesThenDoneWithRestingStateAfterEveryFrame) {
  GLfloat identity[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, identity);
  int frames = 0;
  while (!m_intro.IsDone() && frames < 400) {
    Frame(50.0, 50.0f);
    ++frames;
    ASSERT_EQ(GlState::Capture(), RestingGlState()) << "frame " << frames << ": " << GlState::Capture().Describe();
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    for (int i = 0; i < 16; ++i) ASSERT_EQ(matrix[i], identity[i]) << "frame " << frames;
  }
  EXPECT_TRUE(m_intro.IsDone());
  EXPECT_EQ(m_intro.Phase(), 7);
  // Seven phases of 50 frames each, give or take a frame of rounding per phase.
  EXPECT_GE(frames, 7 * 50);
  EXPECT_LE(frames, 7 * 51);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
