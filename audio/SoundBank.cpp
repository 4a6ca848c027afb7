#include "audio/SoundBank.h"

SoundBank::~SoundBank() {}
void SoundBank::Init(const void*) {}
void SoundBank::PlayStream(int, bool) {}
void SoundBank::PlaySample(int) {}
void SoundBank::RestartOutput(int) {}
