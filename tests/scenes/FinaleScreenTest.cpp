#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scenes/FinaleScreen.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// Enough milliseconds of rating to reach the greeting in one frame.
constexpr float kWholeRating = 20000.0f;

// A frame time for which start + dt * rate comes out as target in float.
float DtLandingOn(float start, float rate, float target) {
  const float guess = (target - start) / rate;
  for (float direction : {INFINITY, 0.0f}) {
    float dt = guess;
    for (int i = 0; i < 4096; ++i) {
      float value = start;
      value += dt * rate;
      if (value == target) return dt;
      dt = std::nextafter(dt, direction);
    }
  }
  return -1.0f;
}

class FinaleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(HeadlessGl::Shared().Ok());
    HeadlessGl::Shared().ResetScene();
  }
};

// The texts are white material under the scene's lights, so on screen they
// are neutral greys; the background stays black.
struct TextPixels {
  int count = 0;
  double meanGrey = 0.0;
};

TextPixels TextPixelsIn(const std::vector<std::uint8_t>& pixels, int fromX, int toX, int width) {
  TextPixels text;
  double sum = 0.0;
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    const int x = static_cast<int>((i / 3) % static_cast<std::size_t>(width));
    if (x < fromX || x >= toX) continue;
    const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
    if (r > 60 && std::abs(r - g) <= 2 && std::abs(g - b) <= 2) {
      ++text.count;
      sum += r;
    }
  }
  if (text.count > 0) text.meanGrey = sum / text.count;
  return text;
}

}  // namespace

TEST(FinaleMessage, ChosenByPegsLeft) {
  const char* const super = "Super! Fast Perfekt!";
  const char* const good = "Sehr gut!";
  const char* const meh = "Na ja geht auch besser!";
  const char* const overlook = "Das Resultat \xFC" "berseh ich mal...";
  const char* const old = "Pfff! Da sind ja 90-J\xE4" "hrige besser!";
  const struct {
    int pegsLeft;
    const char* message;
  } cases[] = {{-1, super}, {0, super},    {1, super}, {2, super}, {3, good}, {4, good},  {5, meh},
               {6, meh},    {7, overlook}, {8, overlook}, {9, old}, {10, old}, {32, old}};
  for (const auto& c : cases) {
    EXPECT_STREQ(FinaleScreen::MessageFor(c.pegsLeft), c.message) << c.pegsLeft;
  }
  // The umlauts are single Windows-1252 bytes.
  EXPECT_EQ(std::strlen(overlook), 31u);
  EXPECT_EQ(static_cast<unsigned char>(overlook[13]), 0xFCu);
  EXPECT_EQ(std::strlen(old), 35u);
  EXPECT_EQ(static_cast<unsigned char>(old[21]), 0xE4u);
}

TEST(FinaleTiming, TheRatingGrowsForElevenSecondsThenTheGreetingScrollsForFifty) {
  // Frames of 16 ms, updated only: no GL is needed to know when the finale ends.
  FinaleScreen finale;
  EXPECT_EQ(finale.Phase(), PhaseRating);
  EXPECT_FALSE(finale.IsDone());
  float time = 0.0f;
  float greetingAt = -1.0f;
  float previousScale = finale.MessageScale();
  while (!finale.IsDone() && time < 100000.0f) {
    finale.Update(16.0f);
    time += 16.0f;
    if (finale.Phase() == PhaseRating) {
      EXPECT_GT(finale.MessageScale(), previousScale) << "the verdict grows";
      previousScale = finale.MessageScale();
    } else if (greetingAt < 0.0f) {
      greetingAt = time;
    }
  }
  // From scale 0.15 to 3.5 at 0.0003 a ms; then from x = 10 to -15 at 0.0005 a ms.
  EXPECT_NEAR(greetingAt, (3.5f - 0.15f) / 0.0003f, 16.0f);
  EXPECT_NEAR(time - greetingAt, 25.0f / 0.0005f, 32.0f);
  EXPECT_TRUE(finale.IsDone());
}

TEST_F(FinaleTest, InitStoresTheCountAndResetsNothingElse) {
  FinaleScreen finale;
  finale.UpdateAndDraw(1000.0f);
  EXPECT_TRUE(finale.Init(nullptr, 7));
  EXPECT_EQ(finale.PegsLeft(), 7);
  EXPECT_FLOAT_EQ(finale.MessageScale(), 0.15f + 0.3f);
  EXPECT_FLOAT_EQ(finale.OverlayScale(), 1.5f);
  EXPECT_EQ(finale.Phase(), PhaseRating);
}

TEST_F(FinaleTest, RatingGrowsBothScalesAndEndsAtExactlyThreePointFive) {
  const float dtExact = DtLandingOn(0.15f, 0.0003f, 3.5f);
  ASSERT_GT(dtExact, 0.0f) << "no frame time lands on 3.5 exactly";

  FinaleScreen below;
  below.UpdateAndDraw(std::nextafter(dtExact, 0.0f));
  EXPECT_LT(below.MessageScale(), 3.5f);
  EXPECT_EQ(below.Phase(), PhaseRating);
  below.UpdateAndDraw(0.0f);
  EXPECT_EQ(below.Phase(), PhaseRating) << "dt 0 leaves the scales where they were";

  FinaleScreen exact;
  exact.UpdateAndDraw(dtExact);
  EXPECT_EQ(exact.MessageScale(), 3.5f);
  EXPECT_NEAR(exact.OverlayScale(), 6.58f, 0.01f);
  EXPECT_EQ(exact.Phase(), PhaseGreeting);
  EXPECT_EQ(exact.GreetingX(), 10.0f) << "the greeting first moves in the next frame";
  EXPECT_FALSE(exact.IsDone());
}

TEST_F(FinaleTest, NeverDoneDuringTheRatingWhateverTheFrameTimes) {
  const std::vector<std::vector<float>> runs = {
      {0.0f, 0.0f, 0.0f}, {16.0f, 16.0f, 16.0f}, {1.0e7f}, {5000.0f, 5000.0f, 5000.0f}, {1.0e9f}};
  for (const std::vector<float>& run : runs) {
    FinaleScreen finale;
    for (float dt : run) {
      const bool wasRating = finale.Phase() == PhaseRating;
      finale.UpdateAndDraw(dt);
      if (wasRating) {
        EXPECT_FALSE(finale.IsDone()) << "dt " << dt;
        EXPECT_EQ(finale.GreetingX(), 10.0f);
      }
    }
  }
}

TEST_F(FinaleTest, DoneOnlyOnceTheGreetingIsBelowMinusFifteen) {
  FinaleScreen finale;
  finale.UpdateAndDraw(kWholeRating);
  ASSERT_EQ(finale.Phase(), PhaseGreeting);

  finale.UpdateAndDraw(0.0f);
  EXPECT_EQ(finale.GreetingX(), 10.0f) << "dt 0 holds the greeting still";

  const float dtToEdge = DtLandingOn(10.0f, -0.0005f, -15.0f);
  ASSERT_GT(dtToEdge, 0.0f);
  finale.UpdateAndDraw(dtToEdge);
  ASSERT_EQ(finale.GreetingX(), -15.0f);
  EXPECT_FALSE(finale.IsDone());
  finale.UpdateAndDraw(0.0f);
  EXPECT_FALSE(finale.IsDone());
  finale.UpdateAndDraw(1.0f);
  EXPECT_TRUE(finale.IsDone());
  EXPECT_EQ(finale.Phase(), PhaseGreeting);
  finale.UpdateAndDraw(16.0f);
  EXPECT_TRUE(finale.IsDone()) << "done stays done";
}

TEST_F(FinaleTest, EveryCallLeavesTheRestingStateInBothPhases) {
  for (bool withFont : {false, true}) {
    SCOPED_TRACE(withFont ? "font created" : "no font");
    FinaleScreen finale;
    if (withFont) {
      ASSERT_TRUE(finale.Init(nullptr, 5));
    }
    const float frames[] = {0.0f, 16.0f, kWholeRating, 0.0f, 16.0f, 60000.0f, 16.0f};
    for (float dt : frames) {
      HeadlessGl::Shared().ResetScene();
      const FinalePhase phase = finale.Phase();
      finale.UpdateAndDraw(dt);
      const GlState state = GlState::Capture();
      EXPECT_EQ(state, RestingGlState()) << "phase " << phase << " dt " << dt << ": " << state.Describe();
      EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_TRUE(finale.IsDone());
  }
}

TEST_F(FinaleTest, RendersTheTextsInBothPhases) {
  HeadlessGl& gl = HeadlessGl::Shared();
  const int width = gl.Width();
  FinaleScreen finale;
  ASSERT_TRUE(finale.Init(nullptr, 4));

  // Message scale 1.0: "Sehr gut!" below a larger, half-transparent "Geschafft".
  finale.UpdateAndDraw((1.0f - 0.15f) / 0.0003f);
  ASSERT_EQ(finale.Phase(), PhaseRating);
  const std::vector<std::uint8_t> rating = gl.ReadPixels();
  EXPECT_GT(TextPixelsIn(rating, 0, width, width).count, 5000);
  gl.SaveBmp(::testing::TempDir() + "finale_rating.bmp");

  // On to the greeting, then move it until it stands centred.
  gl.ResetScene();
  finale.UpdateAndDraw(kWholeRating);
  ASSERT_EQ(finale.Phase(), PhaseGreeting);
  gl.ResetScene();
  finale.UpdateAndDraw(20000.0f);
  ASSERT_EQ(finale.GreetingX(), 0.0f);
  const std::vector<std::uint8_t> greeting = gl.ReadPixels();
  const TextPixels left = TextPixelsIn(greeting, 0, width / 4, width);
  const TextPixels right = TextPixelsIn(greeting, width * 3 / 4, width, width);
  EXPECT_GT(left.count, 2000);
  EXPECT_GT(right.count, 2000);
  EXPECT_LT(right.meanGrey, left.meanGrey - 5.0) << "the black fade darkens the right-hand side";
  gl.SaveBmp(::testing::TempDir() + "finale_greeting.bmp");
}
