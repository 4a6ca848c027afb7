#include <gtest/gtest.h>

#include <ostream>

#include "puzzle/HoleNavigation.h"

namespace {
using Cell = BoardModel::Cell;
using Direction = HoleNavigation::Direction;

struct NavigationCase {
  const char* from;
  float x, y;  // a board point
  Cell left, right, up, down;
};

void PrintTo(const NavigationCase& c, std::ostream* os) { *os << c.from; }

class HoleNavigationTable : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(HoleNavigationTable, EachDirectionGoesToTheHoleAPlayerExpects) {
  const NavigationCase& c = GetParam();
  const struct {
    Direction direction;
    const char* name;
    Cell expected;
  } steps[] = {{Direction::Left, "left", c.left},
               {Direction::Right, "right", c.right},
               {Direction::Up, "up", c.up},
               {Direction::Down, "down", c.down}};
  for (const auto& step : steps) {
    const Cell got = HoleNavigation::Next(c.x, c.y, step.direction);
    EXPECT_EQ(got, step.expected) << c.from << ", " << step.name << ": got (" << got.column << ", " << got.row
                                  << ")";
  }
}

// Holes by their centres: column c at x = c - 3, row r at y = 3 - r.
INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, HoleNavigationTable,
    ::testing::Values(
        NavigationCase{"the centre", 0.0f, 0.0f, {2, 3}, {4, 3}, {3, 2}, {3, 4}},
        NavigationCase{"the top arm's outer left corner", -1.0f, 3.0f, {2, 0}, {3, 0}, {2, 0}, {2, 1}},
        NavigationCase{"the right arm's outer lower corner", 3.0f, -1.0f, {5, 4}, {6, 4}, {6, 3}, {6, 4}},
        NavigationCase{"the corner inside the cross", -1.0f, 1.0f, {1, 2}, {3, 2}, {2, 1}, {2, 3}},
        NavigationCase{"the left arm's top edge, nothing above", -2.0f, 1.0f, {0, 2}, {2, 2}, {1, 2}, {1, 3}},
        NavigationCase{"the bottom edge's middle", 0.0f, -3.0f, {2, 6}, {4, 6}, {3, 5}, {3, 6}},
        NavigationCase{"off centre on a hole, as the mouse left it", 0.3f, -0.4f, {2, 3}, {4, 3}, {3, 2}, {3, 4}},
        // Off the board, between the top and left arms: straight on to the
        // nearest hole ahead, never to a place that is none.
        NavigationCase{"the empty corner between two arms", -2.0f, 2.0f, {0, 2}, {2, 1}, {2, 0}, {1, 2}},
        // Beyond the board's left edge, level with the middle row: right goes
        // into that row, up and down to the rows above and below it; left,
        // with nothing ahead, to the nearest hole.
        NavigationCase{"left of the board", -4.6f, 0.2f, {0, 3}, {0, 3}, {0, 2}, {0, 4}}),
    [](const ::testing::TestParamInfo<NavigationCase>& info) { return "Case" + std::to_string(info.index); });

TEST(HoleNavigation, EveryStepFromAHoleLandsOnAHoleAndTheOppositeStepComesBack) {
  const Direction opposite[] = {Direction::Right, Direction::Left, Direction::Down, Direction::Up};
  for (int c = 0; c < BoardModel::Size; ++c) {
    for (int r = 0; r < BoardModel::Size; ++r) {
      if (!BoardModel::IsHole(c, r)) continue;
      for (int d = 0; d < 4; ++d) {
        const Cell to = HoleNavigation::Next(BoardModel::BoardX(c), BoardModel::BoardY(r), static_cast<Direction>(d));
        ASSERT_TRUE(BoardModel::IsHole(to)) << c << "," << r << " direction " << d;
        if (to == Cell{c, r}) continue;  // the board's edge
        EXPECT_EQ(std::abs(to.column - c) + std::abs(to.row - r), 1) << c << "," << r << " direction " << d;
        EXPECT_EQ(HoleNavigation::Next(BoardModel::BoardX(to.column), BoardModel::BoardY(to.row), opposite[d]),
                  (Cell{c, r}))
            << c << "," << r << " direction " << d;
      }
    }
  }
}
}  // namespace
