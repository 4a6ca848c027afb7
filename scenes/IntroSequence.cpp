#include "scenes/IntroSequence.h"

void IntroSequence::Init(DrawSurface*) {}
void IntroSequence::UpdateAndDraw(float) {}
