#include "puzzle/BoardModel.h"

#include <cstdlib>

bool BoardModel::IsHole(int column, int row) {
  if (column < 0 || column >= Size || row < 0 || row >= Size) return false;
  return (column >= 2 && column <= 4) || (row >= 2 && row <= 4);
}

BoardModel::Cell BoardModel::CellAt(float x, float y) {
  // The negated test also turns NaN away.
  if (!(x > -3.5f && x < 3.5f && y > -3.5f && y < 3.5f)) return NoCell;
  for (int c = 0; c < Size; ++c) {
    const float centreX = BoardX(c);
    if (!(centreX - 0.5f <= x && x <= centreX + 0.5f)) continue;
    for (int r = 0; r < Size; ++r) {
      const float centreY = BoardY(r);
      if (centreY - 0.5f <= y && y <= centreY + 0.5f) return IsHole(c, r) ? Cell{c, r} : NoCell;
    }
  }
  return NoCell;
}

void BoardModel::Fill() {
  Clear();
  int peg = 0;
  for (int c = 0; c < Size; ++c) {
    for (int r = Size - 1; r >= 0; --r) {
      const Cell cell{c, r};
      if (IsHole(cell) && cell != StartHole) static_cast<void>(Put(cell, peg++));
    }
  }
}

bool BoardModel::Put(Cell cell, int peg) {
  if (!IsHole(cell) || Occupied(cell)) return false;
  m_pegAt[Index(cell)] = static_cast<std::int8_t>(peg);
  return true;
}

int BoardModel::PegAt(Cell cell) const { return IsHole(cell) ? m_pegAt[Index(cell)] : NoPeg; }

BoardModel::Cell BoardModel::CellOf(int peg) const {
  if (peg == NoPeg) return NoCell;
  for (int c = 0; c < Size; ++c) {
    for (int r = 0; r < Size; ++r) {
      if (m_pegAt[Index({c, r})] == peg) return {c, r};
    }
  }
  return NoCell;
}

BoardModel::Cell BoardModel::Over(Cell from, Cell to) const {
  if (!Occupied(from) || !IsHole(to) || Occupied(to)) return NoCell;
  const int dc = std::abs(from.column - to.column);
  const int dr = std::abs(from.row - to.row);
  const bool twoAlongLine = (dc == 2 && dr == 0) || (dc == 0 && dr == 2);
  if (!twoAlongLine) return NoCell;
  const Cell over{(from.column + to.column) / 2, (from.row + to.row) / 2};
  return Occupied(over) ? over : NoCell;
}

int BoardModel::Jump(Cell from, Cell to) {
  const Cell over = Over(from, to);
  if (over == NoCell) return NoPeg;
  const int jumped = m_pegAt[Index(over)];
  m_pegAt[Index(to)] = m_pegAt[Index(from)];
  m_pegAt[Index(from)] = NoPeg;
  m_pegAt[Index(over)] = NoPeg;
  return jumped;
}

bool BoardModel::NoMoveLeft() const {
  constexpr Cell kSteps[] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
  for (int c = 0; c < Size; ++c) {
    for (int r = 0; r < Size; ++r) {
      for (const Cell& step : kSteps) {
        if (Over({c, r}, {c + step.column, r + step.row}) != NoCell) return false;
      }
    }
  }
  return true;
}

int BoardModel::CountPegs() const {
  int count = 0;
  for (const std::int8_t peg : m_pegAt) count += peg != NoPeg ? 1 : 0;
  return count;
}
