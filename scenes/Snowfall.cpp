#include "scenes/Snowfall.h"

void Snowfall::Init(Texture*) {}
void Snowfall::UpdateAndDraw(float) {}
