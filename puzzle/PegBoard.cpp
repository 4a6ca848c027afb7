#include "puzzle/PegBoard.h"

#include "audio/SoundBank.h"

void PegBoard::Setup(Texture* topTexture, Texture* trunkTexture, SoundBank* bank) {
  soundBank = bank;
  selected = -1;
  model.Fill();
  for (int i = 0; i < PegCount; ++i) {
    pegs[static_cast<std::size_t>(i)].Attach(topTexture, trunkTexture);
    Stand(i, model.CellOf(i));
  }
}

void PegBoard::Stand(int index, Cell cell) {
  TreePeg& peg = pegs[static_cast<std::size_t>(index)];
  peg.SetCell(cell.column, cell.row);
  peg.SetState(Standing);
  ++standingRevision;
}

void PegBoard::Update(float dt) {
  for (TreePeg& peg : pegs) peg.Update(dt);
}

void PegBoard::Draw() const {
  for (const TreePeg& peg : pegs) peg.Draw();
}

void PegBoard::DrawStanding() const { DrawWhere(false); }

void PegBoard::DrawMoving() const { DrawWhere(true); }

void PegBoard::DrawWhere(bool moving) const {
  for (const TreePeg& peg : pegs) {
    const bool pegMoves = peg.State() == Lifted || peg.State() == Leaving;
    if (pegMoves == moving) peg.Draw();
  }
}

void PegBoard::UpdateAndDraw(float dt) {
  Update(dt);
  Draw();
}

bool PegBoard::Pick(float x, float y) {
  for (int i = 0; i < PegCount; ++i) {
    if (pegs[static_cast<std::size_t>(i)].TryLift(x, y)) {
      origin = model.CellOf(i);
      selected = i;
      ++standingRevision;
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
  const int jumped = model.Jump(origin, target);
  if (jumped == BoardModel::NoPeg) {
    PutBack();
    return;
  }
  Stand(selected, target);
  pegs[static_cast<std::size_t>(jumped)].SetState(Leaving);
  selected = -1;
  if (soundBank != nullptr) soundBank->PlaySample(0);
}

void PegBoard::PutBack() {
  if (selected == -1) return;
  Stand(selected, origin);
  selected = -1;
}

void PegBoard::Arrange(std::span<const Cell> occupied) {
  if (selected != -1) PutBack();
  model.Clear();
  int i = 0;
  for (const Cell& cell : occupied) {
    if (i == PegCount) break;
    if (!model.Put(cell, i)) continue;
    Stand(i, cell);
    ++i;
  }
  for (; i < PegCount; ++i) pegs[static_cast<std::size_t>(i)].SetState(Gone);
  ++standingRevision;
}
