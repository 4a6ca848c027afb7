#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/SoundBank.h"
#include "puzzle/PegBoard.h"
#include "tests/support/FakeAudio.h"
#include "tests/support/HeadlessGl.h"

namespace {

using Cell = PegBoard::Cell;

// Board point of a hole's centre.
float PointX(int column) { return static_cast<float>(column - 3); }
float PointY(int row) { return static_cast<float>(3 - row); }

// A board set up on the headless context with a recording sound bank.
struct BoardFixture : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(HeadlessGl::Shared().Ok());
    board.Setup(nullptr, nullptr, &sound);
  }
  // Picks the peg in one hole and drops it on a board point.
  void Move(int column, int row, float x, float y) {
    ASSERT_TRUE(board.Pick(PointX(column), PointY(row))) << "no peg at " << column << "," << row;
    board.Drag(x, y);
    board.Drop(x, y);
  }
  void Jump(int fromColumn, int fromRow, int toColumn, int toRow) {
    Move(fromColumn, fromRow, PointX(toColumn), PointY(toRow));
  }
  int Samples() const { return audio.Count("PlaySample"); }

  FakeAudio audio;
  SoundBank sound{audio};
  PegBoard board;
};

TEST_F(BoardFixture, SetupFillsEveryHoleButTheCentre) {
  EXPECT_EQ(board.CountPegs(), 32);
  for (int c = 0; c < 7; ++c) {
    for (int r = 0; r < 7; ++r) {
      const bool expected = PegBoard::IsHole(c, r) && !(c == 3 && r == 3);
      EXPECT_EQ(board.Occupied(c, r), expected) << c << "," << r;
    }
  }
  EXPECT_FALSE(board.NoMoveLeft());
  EXPECT_EQ(board.Selected(), -1);
  for (int i = 0; i < PegBoard::PegCount; ++i) {
    EXPECT_EQ(board.Peg(i).State(), Standing);
    EXPECT_TRUE(board.Peg(i).HasQuadric());
    // Each tree stands where the rules put its peg.
    const Cell cell = board.CellOf(i);
    EXPECT_EQ(board.Peg(i).X(), PointX(cell.column)) << i;
    EXPECT_EQ(board.Peg(i).Y(), PointY(cell.row)) << i;
  }
}

TEST_F(BoardFixture, FirstMoveJumpsIntoTheCentre) {
  ASSERT_TRUE(board.Pick(0.0f, 2.0f));
  EXPECT_EQ(board.Selected(), 17);
  EXPECT_EQ(board.Peg(17).State(), Lifted);
  EXPECT_EQ(board.OriginColumn(), 3);
  EXPECT_EQ(board.OriginRow(), 1);
  board.Drag(0.1f, 0.05f);
  EXPECT_EQ(board.Peg(17).X(), 0.1f);
  EXPECT_EQ(board.CellOf(17), (Cell{3, 1}));  // the hole stays the origin while dragging
  EXPECT_TRUE(board.Occupied(3, 1));
  board.Drop(0.1f, 0.05f);

  EXPECT_FALSE(board.Occupied(3, 1));
  EXPECT_FALSE(board.Occupied(3, 2));
  EXPECT_TRUE(board.Occupied(3, 3));
  EXPECT_EQ(board.CountPegs(), 31);
  EXPECT_EQ(board.Peg(16).State(), Leaving);
  EXPECT_EQ(board.Peg(17).State(), Standing);
  EXPECT_EQ(board.CellOf(17), (Cell{3, 3}));
  EXPECT_EQ(board.CellOf(16), (Cell{-1, -1})) << "the jumped peg is off the board while it leaves";
  EXPECT_EQ(board.Peg(17).X(), 0.0f);  // snapped to the hole centre
  EXPECT_EQ(board.Peg(17).Y(), 0.0f);
  EXPECT_EQ(board.Selected(), -1);
  EXPECT_EQ(Samples(), 1);
  EXPECT_EQ(audio.calls.back().rfind("PlaySample(", 0), 0u);
  // Nothing left selected: a second drop does nothing.
  board.Drop(0.0f, 0.0f);
  EXPECT_EQ(Samples(), 1);
}

TEST_F(BoardFixture, DropsThatAreNoJumpPutThePegBack) {
  struct Case {
    const char* what;
    int column;  // the peg picked
    int row;
    float x;  // where it is dropped
    float y;
  };
  // Start after the first move: (3,1) and (3,2) are empty, (3,3) full.
  const Case cases[] = {
      {"own hole", 3, 5, PointX(3), PointY(5)},
      {"occupied hole", 3, 5, PointX(3), PointY(4)},
      {"occupied two away", 1, 3, PointX(3), PointY(3)},
      {"diagonal over a peg", 2, 1, PointX(4), PointY(3)},
      {"two columns one row", 5, 2, PointX(3), PointY(1)},
      {"one hole along a row", 2, 1, PointX(3), PointY(1)},
      {"three holes along a row", 6, 2, PointX(3), PointY(2)},
      {"two along a row over an empty hole", 3, 0, PointX(3), PointY(2)},
      {"corner cell", 2, 0, PointX(0), PointY(0)},
      {"off the board", 2, 0, -4.5f, 3.8f},
      {"past the right edge", 6, 3, 3.6f, 0.0f},
  };
  Jump(3, 1, 3, 3);
  ASSERT_EQ(Samples(), 1);
  for (const Case& c : cases) {
    const int before = board.CountPegs();
    Move(c.column, c.row, c.x, c.y);
    EXPECT_EQ(board.CountPegs(), before) << c.what;
    EXPECT_EQ(Samples(), 1) << c.what;
    EXPECT_EQ(board.Selected(), -1) << c.what;
    EXPECT_TRUE(board.Occupied(c.column, c.row)) << c.what;
    // The peg stands at its origin again.
    ASSERT_TRUE(board.Pick(PointX(c.column), PointY(c.row))) << c.what;
    const TreePeg& peg = board.Peg(board.Selected());
    EXPECT_EQ(board.CellOf(board.Selected()), (Cell{c.column, c.row})) << c.what;
    EXPECT_EQ(peg.X(), PointX(c.column)) << c.what;
    EXPECT_EQ(peg.Y(), PointY(c.row)) << c.what;
    board.Drop(PointX(c.column), PointY(c.row));
    EXPECT_EQ(peg.State(), Standing) << c.what;
  }
  EXPECT_FALSE(board.Occupied(3, 1));
  EXPECT_FALSE(board.Occupied(3, 2));
  EXPECT_FALSE(board.Pick(PointX(3), PointY(2)));  // the leaving peg is not hit
}

TEST_F(BoardFixture, JumpOverARefilledHoleTakesTheNewerPeg) {
  Jump(3, 1, 3, 3);  // pegs[16] leaves (3,2)
  HeadlessGl::Shared().ResetScene();
  board.UpdateAndDraw(100.0f);
  const TreePeg& older = board.Peg(16);
  ASSERT_EQ(older.State(), Leaving);
  const float olderZ = older.Z();
  const float olderScale = older.LeaveScale();

  Jump(5, 2, 3, 2);  // pegs[28] lands in (3,2) over pegs[23]
  EXPECT_EQ(board.Peg(23).State(), Leaving);
  EXPECT_EQ(board.CellOf(28), (Cell{3, 2}));
  EXPECT_TRUE(board.Occupied(3, 2));

  Jump(3, 3, 3, 1);  // pegs[17] jumps back over (3,2)
  EXPECT_EQ(board.Peg(28).State(), Leaving);
  EXPECT_EQ(older.State(), Leaving);
  EXPECT_EQ(older.Z(), olderZ);
  EXPECT_EQ(older.LeaveScale(), olderScale);
  EXPECT_FALSE(board.Occupied(3, 2));
  EXPECT_TRUE(board.Occupied(3, 1));
  EXPECT_EQ(board.CountPegs(), 29);
  EXPECT_EQ(Samples(), 3);
}

// A known solution of the 33-hole board, ending in the centre:
// {from column, from row, to column, to row}.
constexpr int Solution[31][4] = {
    {1, 3, 3, 3}, {2, 1, 2, 3}, {0, 2, 2, 2}, {0, 4, 0, 2}, {2, 3, 2, 1}, {2, 0, 2, 2}, {2, 4, 0, 4}, {2, 6, 2, 4},
    {3, 2, 1, 2}, {0, 2, 2, 2}, {3, 0, 3, 2}, {3, 2, 1, 2}, {3, 4, 1, 4}, {0, 4, 2, 4}, {3, 6, 3, 4}, {3, 4, 1, 4},
    {5, 2, 3, 2}, {4, 0, 4, 2}, {4, 2, 2, 2}, {1, 2, 3, 2}, {3, 2, 3, 4}, {4, 4, 2, 4}, {1, 4, 3, 4}, {4, 6, 4, 4},
    {4, 3, 4, 5}, {6, 4, 4, 4}, {3, 4, 5, 4}, {6, 2, 6, 4}, {6, 4, 4, 4}, {4, 5, 4, 3}, {5, 3, 3, 3},
};

TEST_F(BoardFixture, WholeGameEndsWithOnePegInTheCentre) {
  int move = 0;
  for (const auto& m : Solution) {
    ++move;
    ASSERT_FALSE(board.NoMoveLeft()) << "before move " << move;
    // Check the move is legal on the grid before making it.
    const int midColumn = (m[0] + m[2]) / 2;
    const int midRow = (m[1] + m[3]) / 2;
    ASSERT_TRUE(board.Occupied(m[0], m[1])) << "move " << move;
    ASSERT_TRUE(board.Occupied(midColumn, midRow)) << "move " << move;
    ASSERT_FALSE(board.Occupied(m[2], m[3])) << "move " << move;
    ASSERT_TRUE(PegBoard::IsHole(m[2], m[3])) << "move " << move;
    // Drop near, not on, the target centre, as a hand would.
    Move(m[0], m[1], PointX(m[2]) + 0.3f, PointY(m[3]) - 0.2f);
    ASSERT_EQ(board.CountPegs(), 32 - move) << "move " << move;
    ASSERT_FALSE(board.Occupied(midColumn, midRow)) << "move " << move;
    ASSERT_TRUE(board.Occupied(m[2], m[3])) << "move " << move;
    HeadlessGl::Shared().ResetScene();
    board.UpdateAndDraw(300.0f);
  }
  EXPECT_TRUE(board.NoMoveLeft());
  EXPECT_EQ(board.CountPegs(), 1);
  EXPECT_TRUE(board.Occupied(3, 3));
  EXPECT_EQ(Samples(), 31);
  int inPlay = 0;
  for (int i = 0; i < PegBoard::PegCount; ++i) {
    const PegState state = board.Peg(i).State();
    if (state == Standing || state == Lifted) ++inPlay;
  }
  EXPECT_EQ(inPlay, 1);
}

TEST_F(BoardFixture, ArrangeKeepsOnlyHolesAndPlaysOn) {
  const std::vector<Cell> cells = {{3, 6}, {3, 5}, {3, 5}, {0, 0}, {-1, 3}, {7, 3}};
  board.Arrange(cells);
  EXPECT_EQ(board.CountPegs(), 2);
  EXPECT_FALSE(board.Occupied(0, 0));
  Jump(3, 6, 3, 4);
  EXPECT_EQ(board.CountPegs(), 1);
  EXPECT_TRUE(board.Occupied(3, 4));
  EXPECT_TRUE(board.NoMoveLeft());
  EXPECT_EQ(Samples(), 1);
}

}  // namespace
