#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "puzzle/BoardModel.h"

// The rules alone: this program links no GL at all.
namespace {

using Cell = BoardModel::Cell;

BoardModel Arranged(const std::vector<Cell>& cells) {
  BoardModel model;
  int peg = 0;
  for (const Cell& cell : cells) EXPECT_TRUE(model.Put(cell, peg++)) << cell.column << "," << cell.row;
  return model;
}

}  // namespace

TEST(BoardModel, TheStartingPositionFillsTheCrossButItsCentre) {
  BoardModel model;
  model.Fill();
  int holes = 0;
  for (int c = -1; c <= 7; ++c) {
    for (int r = -1; r <= 7; ++r) {
      const bool inCross = c >= 0 && c < 7 && r >= 0 && r < 7 && ((c >= 2 && c <= 4) || (r >= 2 && r <= 4));
      EXPECT_EQ(BoardModel::IsHole(c, r), inCross) << c << "," << r;
      holes += inCross ? 1 : 0;
      EXPECT_EQ(model.Occupied({c, r}), inCross && !(c == 3 && r == 3)) << c << "," << r;
    }
  }
  EXPECT_EQ(holes, BoardModel::HoleCount);
  EXPECT_EQ(model.CountPegs(), 32);
  EXPECT_FALSE(model.NoMoveLeft());
  // Pegs are numbered column by column from the left, each from the bottom.
  EXPECT_EQ(model.CellOf(0), (Cell{0, 4}));
  EXPECT_EQ(model.CellOf(17), (Cell{3, 1}));
  EXPECT_EQ(model.CellOf(31), (Cell{6, 2}));
  for (int peg = 0; peg < 32; ++peg) EXPECT_EQ(model.PegAt(model.CellOf(peg)), peg);
  EXPECT_EQ(model.CellOf(32), BoardModel::NoCell);
}

TEST(BoardModel, CellsAndBoardPointsMapBothWays) {
  struct Case {
    float x;
    float y;
    Cell expected;
  };
  const Case cases[] = {
      {0.0f, 0.0f, {3, 3}},      {3.5f, 0.0f, {-1, -1}},    {0.0f, -3.5f, {-1, -1}},
      {-3.5f, 0.0f, {-1, -1}},   {0.0f, 3.5f, {-1, -1}},    {3.4999f, 0.0f, {6, 3}},
      {-2.5f, 0.0f, {0, 3}},     {0.0f, 2.5f, {3, 0}},      {-1.5f, 1.5f, {-1, -1}},
      {-1.4f, 1.4f, {2, 2}},     {-0.5f, 0.5f, {2, 2}},     {0.5f, -0.5f, {3, 3}},
      {2.0f, 2.0f, {-1, -1}},    {-3.0f, 1.0f, {0, 2}},     {1.0f, -3.0f, {4, 6}},
      {4.9f, 0.0f, {-1, -1}},    {0.0f, -3.9f, {-1, -1}},   {NAN, 0.0f, {-1, -1}},
  };
  for (const Case& c : cases) EXPECT_EQ(BoardModel::CellAt(c.x, c.y), c.expected) << c.x << "," << c.y;
  // Every hole's centre lies in that hole.
  for (int c = 0; c < 7; ++c) {
    for (int r = 0; r < 7; ++r) {
      if (!BoardModel::IsHole(c, r)) continue;
      EXPECT_EQ(BoardModel::CellAt(BoardModel::BoardX(c), BoardModel::BoardY(r)), (Cell{c, r}));
    }
  }
}

TEST(BoardModel, JumpsAreAllowedOnlyOverANeighbourIntoAnEmptyHole) {
  struct Case {
    const char* what;
    Cell from;
    Cell to;
    bool allowed;
  };
  // From the starting position after the jump (3,1) -> (3,3): (3,1) and
  // (3,2) are empty.
  const Case cases[] = {
      {"along a row over a peg into an emptied hole", {5, 2}, {3, 2}, true},
      {"the other way along the row", {1, 2}, {3, 2}, true},
      {"up a column over a peg into an emptied hole", {3, 4}, {3, 2}, true},
      {"over an emptied hole", {3, 0}, {3, 2}, false},
      {"back over the emptied hole", {3, 3}, {3, 1}, false},
      {"own hole", {3, 5}, {3, 5}, false},
      {"into an occupied hole", {3, 5}, {3, 3}, false},
      {"diagonal over a peg", {2, 1}, {4, 3}, false},
      {"one hole along a row", {2, 1}, {3, 1}, false},
      {"three holes along a row", {6, 2}, {3, 2}, false},
      {"from an empty hole", {3, 2}, {3, 0}, false},
      {"onto a corner cell", {2, 0}, {0, 0}, false},
      {"off the board", {2, 0}, {2, -2}, false},
      {"from no cell", {-1, -1}, {3, 1}, false},
  };
  for (const Case& c : cases) {
    BoardModel model;
    model.Fill();
    ASSERT_EQ(model.Jump({3, 1}, {3, 3}), 16) << "the first jump takes the peg in (3,2)";
    const int before = model.CountPegs();
    const int mover = model.PegAt(c.from);
    const int jumped = model.Jump(c.from, c.to);
    EXPECT_EQ(jumped != BoardModel::NoPeg, c.allowed) << c.what;
    EXPECT_EQ(model.CountPegs(), before - (c.allowed ? 1 : 0)) << c.what;
    if (c.allowed) {
      EXPECT_EQ(model.PegAt(c.to), mover) << c.what;
      EXPECT_FALSE(model.Occupied(c.from)) << c.what;
      EXPECT_EQ(model.CellOf(jumped), BoardModel::NoCell) << c.what;
    } else {
      EXPECT_EQ(model.PegAt(c.from), mover) << c.what << ": nothing moved";
    }
  }
}

TEST(BoardModel, NoMoveLeftFindsEachDirection) {
  struct Case {
    const char* what;
    std::vector<Cell> pegs;
    bool noMove;
  };
  const Case cases[] = {
      {"down a column", {{3, 6}, {3, 5}}, false},
      {"up a column", {{3, 4}, {3, 5}}, false},
      {"rightward along a row", {{0, 3}, {1, 3}}, false},
      {"leftward along a row", {{6, 2}, {5, 2}}, false},
      {"up into the top arm", {{2, 2}, {2, 1}}, false},
      {"left into the left arm", {{4, 4}, {3, 4}}, false},
      {"edge column, jump would leave the board", {{0, 2}, {0, 3}, {0, 4}}, true},
      {"edge row, only the inward jump open", {{6, 3}, {5, 3}, {4, 3}}, false},
      {"landings occupied or corners", {{2, 1}, {3, 1}, {4, 1}}, true},
      {"landings occupied or off the board", {{2, 0}, {3, 0}, {4, 0}}, true},
      {"one peg", {{3, 3}}, true},
      {"no two neighbours", {{2, 0}, {4, 0}, {3, 3}, {0, 2}, {6, 4}, {2, 6}, {4, 6}, {0, 4}, {6, 2}}, true},
      {"neighbours only diagonally", {{2, 2}, {3, 3}, {4, 4}, {2, 4}, {4, 2}}, true},
      {"empty board", {}, true},
  };
  for (const Case& c : cases) {
    const BoardModel model = Arranged(c.pegs);
    EXPECT_EQ(model.NoMoveLeft(), c.noMove) << c.what;
    EXPECT_EQ(model.CountPegs(), static_cast<int>(c.pegs.size())) << c.what;
  }
}

TEST(BoardModel, PutTakesOnlyEmptyHoles) {
  BoardModel model;
  EXPECT_TRUE(model.Put({3, 3}, 0));
  EXPECT_FALSE(model.Put({3, 3}, 1)) << "the hole holds a peg";
  EXPECT_FALSE(model.Put({0, 0}, 1)) << "a corner is no hole";
  EXPECT_FALSE(model.Put({7, 3}, 1)) << "off the board";
  EXPECT_EQ(model.PegAt({3, 3}), 0);
  EXPECT_EQ(model.CountPegs(), 1);
}
