#include <gtest/gtest.h>

#include <vector>

#include "shell/GameWindow.h"
#include "tests/support/FakeDesktop.h"

namespace {
struct CursorCase {
  const char* name;
  float startX, startY;
  std::vector<std::pair<int, int>> mouse;  // pointer position per frame
  std::vector<std::pair<float, float>> expected;  // cursor after each frame
};

class CursorRules : public ::testing::TestWithParam<CursorCase> {};

TEST_P(CursorRules, FollowsTheMouseInsideAndReflectsOutside) {
  FakeDesktop fake;
  GameWindow window(fake.desktop);
  const CursorCase& c = GetParam();
  window.SetCursor(c.startX, c.startY);
  for (std::size_t i = 0; i < c.mouse.size(); ++i) {
    window.MoveCursor(c.mouse[i].first, c.mouse[i].second);
    EXPECT_NEAR(window.CursorX(), c.expected[i].first, 1e-5) << c.name << " frame " << i;
    EXPECT_NEAR(window.CursorY(), c.expected[i].second, 1e-5) << c.name << " frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CursorRules,
    ::testing::Values(
        CursorCase{"far outside flips each frame, mouse ignored", 5.3f, 2.0f,
                   {{400, 240}, {400, 100}, {0, 0}},
                   {{-5.25f, -1.95f}, {5.2f, 1.9f}, {-5.15f, -1.85f}}},
        CursorCase{"moved past the edge then reflected", 4.98f, 1.0f,
                   {{325, 240}, {320, 240}},
                   {{5.03f, 1.0f}, {-4.98f, -0.95f}}},
        CursorCase{"only x out of range reflects y too", 5.02f, 3.0f, {{320, 240}}, {{-4.97f, -2.95f}}},
        CursorCase{"just inside still moves", 4.999f, 0.0f, {{310, 250}}, {{4.899f, -0.1f}}},
        CursorCase{"x exactly 5 is outside", 5.0f, 0.0f, {{330, 240}}, {{-4.95f, 0.05f}}},
        CursorCase{"x exactly -5 is outside", -5.0f, 1.0f, {{330, 240}}, {{4.95f, -0.95f}}},
        CursorCase{"y exactly 4 is outside", 0.0f, 4.0f, {{330, 240}}, {{0.05f, -3.95f}}},
        CursorCase{"y exactly -4 is outside", -1.0f, -4.0f, {{330, 240}}, {{0.95f, 3.95f}}},
        CursorCase{"right and up move x and y up", 0.0f, 0.0f, {{420, 140}}, {{1.0f, 1.0f}}}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return "Case" + std::to_string(info.index); });
}  // namespace
