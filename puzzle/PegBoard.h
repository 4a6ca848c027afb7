#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "puzzle/BoardModel.h"
#include "puzzle/TreePeg.h"

class Texture;
class SoundBank;

// The board the player sees: 32 pegs drawn as trees over the rules of
// BoardModel, which alone knows where each peg stands. A peg jumps over a
// neighbour in its row or column into the empty hole behind it, and the
// jumped peg leaves the board with an animation.
class PegBoard {
 public:
  using Cell = BoardModel::Cell;

  static constexpr int PegCount = 32;
  static constexpr int Size = BoardModel::Size;

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
  // Draws only the standing pegs, or only the moving ones (lifted or
  // leaving), each in index order: together the picture Draw makes.
  void DrawStanding() const;
  void DrawMoving() const;
  // Changes whenever what DrawStanding draws changes: a peg lifted, set
  // down in a hole, jumped, placed anew or taken away. Animation alone
  // (the lifted peg's wobble, a leaving peg) moves only moving pegs and
  // leaves it as it is.
  std::uint64_t StandingRevision() const { return standingRevision; }
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
  bool NoMoveLeft() const { return model.NoMoveLeft(); }
  int CountPegs() const { return model.CountPegs(); }

  // Starts from another position, after Setup: one standing peg on each given
  // hole (cells that are no holes, repeats and cells beyond the 32nd are
  // skipped); the pegs left over are gone. Drops any selection.
  void Arrange(std::span<const Cell> occupied);

  static Cell CellAt(float x, float y) { return BoardModel::CellAt(x, y); }
  static bool IsHole(int column, int row) { return BoardModel::IsHole(column, row); }

  bool Occupied(int column, int row) const { return model.Occupied({column, row}); }
  const TreePeg& Peg(int index) const { return pegs[static_cast<std::size_t>(index)]; }
  // The hole a peg stands in (lifted: the hole it came from), or (-1, -1).
  Cell CellOf(int index) const { return model.CellOf(index); }
  int Selected() const { return selected; }
  int OriginColumn() const { return origin.column; }
  int OriginRow() const { return origin.row; }

 private:
  // Stands a peg upright in the centre of its hole.
  void Stand(int index, Cell cell);
  // Draws the pegs that move, or those that stand.
  void DrawWhere(bool moving) const;

  std::array<TreePeg, PegCount> pegs;
  BoardModel model;
  int selected = -1;
  SoundBank* soundBank = nullptr;
  Cell origin{0, 0};
  std::uint64_t standingRevision = 0;
};
