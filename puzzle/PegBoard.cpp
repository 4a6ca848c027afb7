#include "puzzle/PegBoard.h"

#include <cstdlib>

#include "audio/SoundBank.h"

void PegBoard::Setup(Texture* topTexture, Texture* trunkTexture, SoundBank* bank) {
  soundBank = bank;
  grid.fill(0);
  selected = -1;
  // Columns left to right, within each column the rows bottom to top; this
  // order numbers the pegs and is the order of every later scan.
  int i = 0;
  for (float x = -3.0f; x <= 3.0f && i < PegCount; x += 1.0f) {
    for (float y = -3.0f; y <= 3.0f && i < PegCount; y += 1.0f) {
      const bool inCross = (x >= -1.0f && x <= 1.0f) || (y >= -1.0f && y <= 1.0f);
      if (!inCross || (x == 0.0f && y == 0.0f)) continue;
      TreePeg& peg = pegs[static_cast<std::size_t>(i)];
      peg.Attach(topTexture, trunkTexture);
      const Cell cell = CellAt(x, y);
      peg.SetCell(cell.column, cell.row);
      peg.SetState(Standing);
      grid[Index(cell.column, cell.row)] = 1;
      ++i;
    }
  }
}

void PegBoard::Update(float dt) {
  for (TreePeg& peg : pegs) peg.Update(dt);
}

void PegBoard::Draw() const {
  for (const TreePeg& peg : pegs) peg.Draw();
}

void PegBoard::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}

bool PegBoard::Pick(float x, float y) {
  for (int i = 0; i < PegCount; ++i) {
    TreePeg& peg = pegs[static_cast<std::size_t>(i)];
    if (peg.TryLift(x, y)) {
      originColumn = peg.Column();
      originRow = peg.Row();
      selected = i;
      return true;
    }
  }
  return false;
}

void PegBoard::Drag(float x, float y) {
  if (selected == -1) return;
  pegs[static_cast<std::size_t>(selected)].SetPosition(x, y, 0.0f);
}

void PegBoard::Drop(float x, float y) {
  if (selected == -1) return;
  const Cell target = CellAt(x, y);
  const int c = target.column;
  const int r = target.row;
  if (c == -1 || grid[Index(c, r)] != 0) {
    PutBack();
    return;
  }
  const int dc = std::abs(originColumn - c);
  const int dr = std::abs(originRow - r);
  const bool twoAlongLine = (dc == 2 && dr == 0) || (dc == 0 && dr == 2);
  if (!twoAlongLine) {
    PutBack();
    return;
  }
  const int mc = (originColumn + c) / 2;
  const int mr = (originRow + r) / 2;
  if (grid[Index(mc, mr)] != 1) {
    PutBack();
    return;
  }

  grid[Index(originColumn, originRow)] = 0;
  grid[Index(c, r)] = 1;
  grid[Index(mc, mr)] = 0;
  TreePeg& mover = pegs[static_cast<std::size_t>(selected)];
  mover.SetCell(c, r);
  mover.SetState(Standing);
  // A hole can still show an earlier peg leaving; only the one in play goes.
  for (TreePeg& peg : pegs) {
    if (peg.Column() == mc && peg.Row() == mr && peg.State() != Gone && peg.State() != Leaving) {
      peg.SetState(Leaving);
      break;
    }
  }
  selected = -1;
  if (soundBank != nullptr) soundBank->PlaySample(0);
}

void PegBoard::PutBack() {
  if (selected == -1) return;
  TreePeg& peg = pegs[static_cast<std::size_t>(selected)];
  peg.SetCell(originColumn, originRow);
  peg.SetState(Standing);
  selected = -1;
}

bool PegBoard::JumpOpen(int column, int row, int stepColumn, int stepRow) const {
  // (column, row) holds the middle peg; the jumper comes from one side and
  // lands on the other.
  const int fromColumn = column - stepColumn;
  const int fromRow = row - stepRow;
  const int toColumn = column + stepColumn;
  const int toRow = row + stepRow;
  if (!IsHole(fromColumn, fromRow) || !IsHole(toColumn, toRow)) return false;
  return grid[Index(fromColumn, fromRow)] != 0 && grid[Index(toColumn, toRow)] == 0;
}

bool PegBoard::NoMoveLeft() const {
  for (int c = 0; c < Size; ++c) {
    for (int r = 0; r < Size; ++r) {
      if (grid[Index(c, r)] == 0) continue;
      if (JumpOpen(c, r, 1, 0) || JumpOpen(c, r, -1, 0) || JumpOpen(c, r, 0, 1) || JumpOpen(c, r, 0, -1)) return false;
    }
  }
  return true;
}

int PegBoard::CountPegs() const {
  int count = 0;
  for (std::uint8_t byte : grid) count += byte != 0 ? 1 : 0;
  return count;
}

void PegBoard::Arrange(std::span<const Cell> occupied) {
  if (selected != -1) PutBack();
  grid.fill(0);
  int i = 0;
  for (const Cell& cell : occupied) {
    if (i == PegCount) break;
    if (!IsHole(cell.column, cell.row) || grid[Index(cell.column, cell.row)] != 0) continue;
    TreePeg& peg = pegs[static_cast<std::size_t>(i)];
    peg.SetCell(cell.column, cell.row);
    peg.SetState(Standing);
    grid[Index(cell.column, cell.row)] = 1;
    ++i;
  }
  for (; i < PegCount; ++i) pegs[static_cast<std::size_t>(i)].SetState(Gone);
}

PegBoard::Cell PegBoard::CellAt(float x, float y) {
  // The negated test also turns NaN away.
  if (!(x > -3.5f && x < 3.5f && y > -3.5f && y < 3.5f)) return {-1, -1};
  for (int c = 0; c < Size; ++c) {
    const float centreX = static_cast<float>(c - 3);
    if (!(centreX - 0.5f <= x && x <= centreX + 0.5f)) continue;
    for (int r = 0; r < Size; ++r) {
      const float centreY = static_cast<float>(3 - r);
      if (centreY - 0.5f <= y && y <= centreY + 0.5f) {
        return IsHole(c, r) ? Cell{c, r} : Cell{-1, -1};
      }
    }
  }
  return {-1, -1};
}

bool PegBoard::IsHole(int column, int row) {
  if (column < 0 || column >= Size || row < 0 || row >= Size) return false;
  return (column >= 2 && column <= 4) || (row >= 2 && row <= 4);
}

bool PegBoard::Occupied(int column, int row) const {
  if (column < 0 || column >= Size || row < 0 || row >= Size) return false;
  return grid[Index(column, row)] != 0;
}
