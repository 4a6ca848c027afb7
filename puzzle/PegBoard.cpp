#include "puzzle/PegBoard.h"

void PegBoard::Setup(Texture*, Texture*, SoundBank*) {}
void PegBoard::UpdateAndDraw(float) {}
bool PegBoard::Pick(float, float) { return false; }
void PegBoard::Drag(float, float) {}
void PegBoard::Drop(float, float) {}
bool PegBoard::NoMoveLeft() const { return false; }
int PegBoard::CountPegs() const { return 0; }
