#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "puzzle/TreePeg.h"
#include "tests/support/HeadlessGl.h"

namespace {

// Counts pixels that are not the black clear colour.
int LitPixels(const std::vector<std::uint8_t>& pixels) {
  int lit = 0;
  for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
    if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) ++lit;
  }
  return lit;
}

// Sends a peg away until rand() picks the wanted style.
void StartLeaving(TreePeg& peg, LeaveStyle style) {
  std::srand(7);
  for (int attempt = 0; attempt < 100; ++attempt) {
    peg.SetState(Leaving);
    if (peg.Style() == style) return;
  }
  FAIL() << "rand() never gave style " << style;
}

TEST(TreePegTest, SetCellGivesTheHolePositions) {
  // Holes lie one unit apart: column c at x = c - 3, row r at y = 3 - r, up
  // to the rounding of the spacing (well under a millionth of a unit).
  constexpr float kRounding = 2.4e-7f;
  for (int index = 0; index < 7; ++index) {
    TreePeg peg;
    peg.SetCell(index, 6 - index);
    EXPECT_NEAR(peg.X(), index - 3.0f, kRounding) << "column " << index;
    EXPECT_NEAR(peg.Y(), index - 3.0f, kRounding) << "row " << 6 - index;
    EXPECT_EQ(peg.Column(), index);
    EXPECT_EQ(peg.Row(), 6 - index);
  }
  // The centre hole, with the previous position kept.
  TreePeg peg;
  peg.SetPosition(1.5f, -2.5f, 4.0f);
  peg.SetCell(3, 3);
  EXPECT_NEAR(peg.X(), 0.0f, kRounding);
  EXPECT_NEAR(peg.Y(), 0.0f, kRounding);
  EXPECT_EQ(peg.Z(), 0.0f);
  EXPECT_EQ(peg.PrevX(), 1.5f);
  EXPECT_EQ(peg.PrevY(), -2.5f);
  EXPECT_EQ(peg.State(), Standing);
}

TEST(TreePegTest, TryLiftHitsTheClosedSquare) {
  struct Case {
    float dx;
    float dy;
    bool hit;
  };
  const Case cases[] = {
      {0.0f, 0.0f, true},          {0.35f, 0.0f, true},         {-0.35f, 0.0f, true},
      {0.0f, 0.35f, true},         {0.0f, -0.35f, true},        {0.35f, -0.35f, true},
      {0.3500001f, 0.0f, false},   {-0.3500001f, 0.0f, false},  {0.0f, 0.3500001f, false},
      {0.0f, -0.3500001f, false},  {0.5f, 0.5f, false},         {0.2f, 0.36f, false},
  };
  for (const Case& c : cases) {
    TreePeg peg;
    peg.SetPosition(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(peg.TryLift(c.dx, c.dy), c.hit) << c.dx << "," << c.dy;
    EXPECT_EQ(peg.State(), c.hit ? Lifted : Standing);
    EXPECT_EQ(peg.TiltRateX(), c.hit ? 0.005f : 0.0f);
  }
}

TEST(TreePegTest, GoneAndLeavingPegsAreNeverHit) {
  for (PegState state : {Gone, Leaving}) {
    TreePeg peg;
    peg.SetState(state);
    const float zBefore = peg.Z();
    EXPECT_FALSE(peg.TryLift(0.0f, 0.0f));
    EXPECT_EQ(peg.State(), state);
    EXPECT_EQ(peg.TiltRateX(), 0.0f);
    EXPECT_EQ(peg.Z(), zBefore);
  }
}

TEST(TreePegTest, LiftingAgainRestartsOnlyTheXSwing) {
  ASSERT_TRUE(HeadlessGl::Shared().Ok());
  TreePeg peg;
  peg.SetPosition(0.0f, 0.0f, 0.0f);
  ASSERT_TRUE(peg.TryLift(0.0f, 0.0f));
  peg.SetPosition(0.1f, 0.0f, 0.0f);  // an impulse along +x drives tiltY
  HeadlessGl::Shared().ResetScene();
  peg.Update(10.0f);
  const float tiltX = peg.TiltX();
  const float tiltY = peg.TiltY();
  const float rateY = peg.TiltRateY();
  EXPECT_GT(tiltY, 0.0f);
  EXPECT_TRUE(peg.TryLift(0.1f, 0.0f));
  EXPECT_EQ(peg.TiltRateX(), 0.005f);
  EXPECT_EQ(peg.TiltX(), tiltX);
  EXPECT_EQ(peg.TiltY(), tiltY);
  EXPECT_EQ(peg.TiltRateY(), rateY);
}

TEST(TreePegTest, LiftedStillPegWobblesAndDecays) {
  ASSERT_TRUE(HeadlessGl::Shared().Ok());
  HeadlessGl::Shared().ResetScene();
  TreePeg peg;
  peg.SetPosition(0.0f, 0.0f, 0.0f);
  ASSERT_TRUE(peg.TryLift(0.0f, 0.0f));
  peg.Update(10.0f);
  EXPECT_FLOAT_EQ(peg.TiltX(), 0.04975124f);
  EXPECT_FLOAT_EQ(peg.TiltRateX(), 0.004975124f);
  EXPECT_EQ(peg.TiltY(), 0.0f);
  EXPECT_EQ(peg.TiltRateY(), 0.0f);
  EXPECT_EQ(peg.Z(), 0.0f);
}

TEST(TreePegTest, TiltReachingFifteenReversesItsRate) {
  ASSERT_TRUE(HeadlessGl::Shared().Ok());
  struct Case {
    float moveX;  // movement of the last SetPosition
    float moveY;
    float dt;
    bool reverseX;
    bool reverseY;
  };
  // Lifting gives tiltRateX 0.005; a move of 0.4 changes a rate by 0.005.
  const Case cases[] = {
      {0.0f, 0.0f, 3000.0f, true, false},   // tiltX = 0.005 * 3000 = 15 exactly
      {0.0f, 0.0f, 2999.0f, false, false},  // 14.995 stays
      {0.0f, 0.8f, 3100.0f, true, false},   // moving up: rate -0.005, tiltX -15.5
      {0.4f, 0.0f, 3100.0f, true, true},    // moving right: tiltY +15.5
      {-0.4f, 0.0f, 3100.0f, true, true},   // moving left: tiltY -15.5
      {-0.4f, 0.0f, 2000.0f, false, false},
  };
  for (const Case& c : cases) {
    HeadlessGl::Shared().ResetScene();
    TreePeg peg;
    peg.SetPosition(0.0f, 0.0f, 0.0f);
    ASSERT_TRUE(peg.TryLift(0.0f, 0.0f));
    peg.SetPosition(c.moveX, c.moveY, 0.0f);
    const float rateX = 0.005f + (0.0f - c.moveY) * 0.0125f;
    const float rateY = -(0.0f - c.moveX) * 0.0125f;
    peg.Update(c.dt);
    const float damping = 0.99502486f;
    EXPECT_FLOAT_EQ(peg.TiltRateX(), rateX * (c.reverseX ? -damping : 1.0f) * damping) << c.moveX << "," << c.moveY << " dt " << c.dt;
    EXPECT_FLOAT_EQ(peg.TiltRateY(), rateY * (c.reverseY ? -damping : 1.0f) * damping) << c.moveX << "," << c.moveY << " dt " << c.dt;
    // The tilt itself is not clamped.
    EXPECT_FLOAT_EQ(peg.TiltX(), rateX * c.dt * damping);
  }
}

TEST(TreePegTest, StandingUpdateChangesNothing) {
  ASSERT_TRUE(HeadlessGl::Shared().Ok());
  HeadlessGl::Shared().ResetScene();
  TreePeg peg;
  peg.SetCell(2, 5);
  peg.Update(500.0f);
  EXPECT_EQ(peg.State(), Standing);
  EXPECT_NEAR(peg.X(), -1.0f, 2.4e-7f);
  EXPECT_EQ(peg.Z(), 0.0f);
  EXPECT_EQ(peg.TiltX(), 0.0f);
  EXPECT_EQ(peg.TiltRateX(), 0.0f);
  EXPECT_EQ(peg.LeaveScale(), 1.0f);
}

TEST(TreePegTest, LeavingResetsHeightAndScale) {
  ASSERT_TRUE(HeadlessGl::Shared().Ok());
  HeadlessGl::Shared().ResetScene();
  for (LeaveStyle style : {Rise, Shrink}) {
    TreePeg peg;
    peg.SetPosition(0.0f, 0.0f, 3.0f);
    StartLeaving(peg, style);
    peg.Update(100.0f);
    StartLeaving(peg, style);
    EXPECT_EQ(peg.State(), Leaving);
    EXPECT_EQ(peg.Z(), 0.0f);
    EXPECT_EQ(peg.LeaveScale(), 1.0f);
  }
}

TEST(TreePegTest, EachLeavingDrawsItsStyleAtRandom) {
  // A fixed style, or one that depends on the peg rather than on the draw,
  // would show in a run of leavings.
  std::srand(1);
  TreePeg peg;
  int rises = 0;
  for (int i = 0; i < 200; ++i) {
    peg.SetState(Leaving);
    rises += peg.Style() == Rise ? 1 : 0;
  }
  EXPECT_GT(rises, 60);
  EXPECT_LT(rises, 140);
}

// Renders one peg leaving, step by step, and checks it turns Gone exactly
// when its measure crosses the end value and is not drawn in that step.
TEST(TreePegTest, LeavingEndsGoneAndUndrawn) {
  HeadlessGl& gl = HeadlessGl::Shared();
  ASSERT_TRUE(gl.Ok());
  struct Case {
    LeaveStyle style;
    float viewZ;      // far enough that the peg stays in view to the end
    int expectedSteps;  // dt = 100: 2500 ms of rise, 1600 ms of shrinking
  };
  const Case cases[] = {{Rise, -40.0f, 25}, {Shrink, -5.0f, 16}};
  for (const Case& c : cases) {
    TreePeg peg;
    peg.Attach(nullptr, nullptr);
    peg.SetCell(3, 3);
    StartLeaving(peg, c.style);
    int steps = 0;
    while (peg.State() == Leaving && steps < 100) {
      const float before = c.style == Rise ? peg.Z() : peg.LeaveScale();
      gl.ResetScene();
      glTranslatef(0.0f, 0.0f, c.viewZ);
      peg.Update(100.0f);
      peg.Draw();
      ++steps;
      const float after = c.style == Rise ? peg.Z() : peg.LeaveScale();
      const bool crossed = c.style == Rise ? after >= 25.0f : after <= 0.2f;
      const int lit = LitPixels(gl.ReadPixels());
      if (crossed) {
        EXPECT_EQ(peg.State(), Gone) << "step " << steps;
        EXPECT_EQ(lit, 0) << "drawn in the step it went, style " << c.style;
      } else {
        EXPECT_EQ(peg.State(), Leaving) << "step " << steps << " at " << before << " -> " << after;
        EXPECT_GT(lit, 0) << "not drawn while leaving, step " << steps << " style " << c.style;
      }
    }
    EXPECT_NEAR(steps, c.expectedSteps, 1) << "style " << c.style;
    // Gone is final: no more drawing, no more change.
    gl.ResetScene();
    glTranslatef(0.0f, 0.0f, c.viewZ);
    peg.Update(100.0f);
    peg.Draw();
    EXPECT_EQ(LitPixels(gl.ReadPixels()), 0);
    EXPECT_EQ(peg.State(), Gone);
  }
}

}  // namespace
