#include "audio/SoundBank.h"

namespace {
constexpr int kStreamCount = 2;
constexpr int kSampleCount = 1;
}  // namespace

SoundBank::~SoundBank() {
  if (!m_loaded) return;
  // The streams go with the library; the last Stop comes after Free. Sound
  // is never worth a failure: every result of the audio layer is ignored.
  static_cast<void>(m_layer->FreeSample(m_sample));
  static_cast<void>(m_layer->Free());
  static_cast<void>(m_layer->Stop());
}

void SoundBank::Init(const void* window) {
  // Without an output every later call fails quietly: the game stays silent.
  static_cast<void>(m_layer->Initialise(-1, 44100, 0, window));
  static_cast<void>(m_layer->Start());
  m_sample = m_layer->LoadSample(false, "Data/Absetzen.wav", 0, 0, 1, AudioLayer::SampleOverrideVolume);
  m_streams[0] = m_layer->CreateFileStream(false, "Data\\Rudi.mp3", 0, 0, 0);
  m_streams[1] = m_layer->CreateFileStream(false, "Data\\Jingle Bells.mp3", 0, 0, 0);
  m_loaded = true;
}

void SoundBank::PlayStream(int index, bool loop) {
  if (index < 0 || index >= kStreamCount) return;
  static_cast<void>(m_layer->PlayStream(m_streams[index], true, loop ? AudioLayer::PlayLooped : 0));
}

void SoundBank::PlaySample(int index) {
  if (index < 0 || index >= kSampleCount) return;
  static_cast<void>(m_layer->PlaySample(m_sample));
}

void SoundBank::RestartOutput(int index) {
  if (index < 0 || index >= kStreamCount) return;
  static_cast<void>(m_layer->Stop());
  static_cast<void>(m_layer->Start());
}
