#include "platform/MixerAudio.h"

MixerAudio::~MixerAudio() = default;
bool MixerAudio::Initialise(int, int, unsigned, const void*) { return false; }
bool MixerAudio::Start() { return false; }
bool MixerAudio::Stop() { return false; }
bool MixerAudio::Free() { return false; }
AudioHandle MixerAudio::LoadSample(bool, const char*, std::uint32_t, std::uint32_t, int, unsigned) { return 0; }
std::uint32_t MixerAudio::PlaySample(AudioHandle) { return 0; }
bool MixerAudio::FreeSample(AudioHandle) { return false; }
AudioHandle MixerAudio::CreateFileStream(bool, const char*, std::uint32_t, std::uint32_t, unsigned) { return 0; }
bool MixerAudio::PlayStream(AudioHandle, bool, unsigned) { return false; }
