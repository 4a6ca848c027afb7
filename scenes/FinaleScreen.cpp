#include "scenes/FinaleScreen.h"

bool FinaleScreen::Init(DrawSurface*, int) { return true; }
void FinaleScreen::UpdateAndDraw(float) {}
