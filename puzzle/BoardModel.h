#pragma once

#include <array>
#include <cstdint>

// The board as data, with no drawing: which cells are holes, which hole
// starts empty, which peg stands in each hole, the jump rule and the test
// for a position with no jump left.
//
// Cells are (column, row), each 0 to 6; column c lies at board x = c - 3 and
// row r at board y = 3 - r, so the centre hole is the board's origin. The
// holes form a cross: the three middle columns and the three middle rows.
class BoardModel {
 public:
  struct Cell {
    int column;
    int row;
    bool operator==(const Cell&) const = default;
  };

  static constexpr int Size = 7;
  static constexpr int HoleCount = 33;
  static constexpr int NoPeg = -1;
  static constexpr Cell StartHole{3, 3};
  static constexpr Cell NoCell{-1, -1};

  // Every hole empty.
  BoardModel() { m_pegAt.fill(NoPeg); }

  static bool IsHole(int column, int row);
  static bool IsHole(Cell cell) { return IsHole(cell.column, cell.row); }
  // The centre of a hole on the board.
  static float BoardX(int column) { return static_cast<float>(column - 3); }
  static float BoardY(int row) { return static_cast<float>(3 - row); }
  // The hole under a board point, or NoCell. Shared edges belong to the
  // column on the left and the row above; a point outside every hole, or
  // not a number, lies on none.
  static Cell CellAt(float x, float y);

  // The starting position: a peg in every hole but the start hole, numbered
  // 0 to 31 column by column from the left, each column from the bottom up.
  void Fill();
  void Clear() { m_pegAt.fill(NoPeg); }
  // Stands peg `peg` in an empty hole; false (and nothing changed) when the
  // cell is no hole or holds a peg.
  bool Put(Cell cell, int peg);

  // The peg in a hole, or NoPeg for an empty hole or a cell that is none.
  int PegAt(Cell cell) const;
  bool Occupied(Cell cell) const { return PegAt(cell) != NoPeg; }
  // The hole peg `peg` stands in, or NoCell when it is on no hole.
  Cell CellOf(int peg) const;

  // The jump from one hole over its neighbour in the same row or column into
  // the empty hole two cells away. Returns the peg jumped over, which leaves
  // the board, and moves the jumper; returns NoPeg and changes nothing when
  // the jump is not allowed.
  int Jump(Cell from, Cell to);
  // True when no peg can jump.
  bool NoMoveLeft() const;
  int CountPegs() const;

 private:
  // The jumped-over cell of an allowed jump, or NoCell.
  Cell Over(Cell from, Cell to) const;
  static std::size_t Index(Cell cell) { return static_cast<std::size_t>(cell.column * Size + cell.row); }

  // Column-major: the peg standing in each cell, NoPeg where none does.
  std::array<std::int8_t, Size * Size> m_pegAt{};
};
