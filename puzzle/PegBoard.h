#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "puzzle/TreePeg.h"

class Texture;
class SoundBank;

// The cross-shaped board of 33 holes, its 32 pegs and the jump rule: a peg
// jumps over a neighbour in its row or column into the empty hole behind it,
// and the jumped peg leaves the board.
//
// Cells are (column, row), each 0 to 6; column c lies at board x = c - 3 and
// row r at board y = 3 - r. The grid is column-major: byte column * 7 + row.
// A byte is 1 exactly when a Standing or Lifted peg has that cell as its hole.
class PegBoard {
 public:
  struct Cell {
    int column;
    int row;
    bool operator==(const Cell&) const = default;
  };

  static constexpr int PegCount = 32;
  static constexpr int Size = 7;

  PegBoard() = default;
  virtual ~PegBoard() = default;
  PegBoard(const PegBoard&) = delete;
  PegBoard& operator=(const PegBoard&) = delete;

  // Places the 32 pegs in every hole but the centre. The pointers are not
  // owned and may be null. Needs the GL context current (peg quadrics).
  void Setup(Texture* topTexture, Texture* trunkTexture, SoundBank* soundBank);
  // Advances every peg's animation by dt ms, in index order. Touches no GL.
  void Update(float dt);
  // Draws every peg, in index order, under the current matrix.
  void Draw() const;
  // Update, then Draw.
  void UpdateAndDraw(float dt);
  // Lifts the first peg whose hit square holds the board point.
  bool Pick(float x, float y);
  // Moves the lifted peg to the board point.
  void Drag(float x, float y);
  // Completes the jump that ends over the board point, or puts the peg back.
  void Drop(float x, float y);
  // Puts the lifted peg back into its hole, with no jump; nothing when no
  // peg is lifted.
  void PutBack();
  bool NoMoveLeft() const;
  int CountPegs() const;

  // Starts from another position, after Setup: one standing peg on each given
  // hole (cells that are no holes, repeats and cells beyond the 32nd are
  // skipped); the pegs left over are gone. Drops any selection.
  void Arrange(std::span<const Cell> occupied);

  // The hole under a board point, or (-1, -1). Shared edges belong to the
  // column on the left and the row above.
  static Cell CellAt(float x, float y);
  static bool IsHole(int column, int row);

  bool Occupied(int column, int row) const;
  const TreePeg& Peg(int index) const { return pegs[static_cast<std::size_t>(index)]; }
  int Selected() const { return selected; }
  int OriginColumn() const { return originColumn; }
  int OriginRow() const { return originRow; }

 private:
  static constexpr std::size_t Index(int column, int row) { return static_cast<std::size_t>(column * Size + row); }
  bool JumpOpen(int column, int row, int stepColumn, int stepRow) const;

  std::array<TreePeg, PegCount> pegs;
  int selected = -1;
  std::array<std::uint8_t, Size * Size> grid{};
  SoundBank* soundBank = nullptr;
  int originColumn = 0;
  int originRow = 0;
};
