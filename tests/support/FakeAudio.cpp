#include "tests/support/FakeAudio.h"

bool FakeAudio::Initialise(int device, int rate, unsigned flags, const void*) {
  calls.push_back("Initialise(" + std::to_string(device) + "," + std::to_string(rate) + "," + std::to_string(flags) + ")");
  return true;
}
bool FakeAudio::Start() {
  calls.push_back("Start");
  return true;
}
bool FakeAudio::Stop() {
  calls.push_back("Stop");
  playing = 0;
  return true;
}
bool FakeAudio::Free() {
  calls.push_back("Free");
  playing = 0;
  return true;
}
AudioHandle FakeAudio::LoadSample(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                  int maxPlaybacks, unsigned flags) {
  calls.push_back("LoadSample(" + std::to_string(fromMemory) + "," + path + "," + std::to_string(offset) + "," +
                  std::to_string(length) + "," + std::to_string(maxPlaybacks) + "," + std::to_string(flags) + ")");
  return nextHandle++;
}
std::uint32_t FakeAudio::PlaySample(AudioHandle sample) {
  calls.push_back("PlaySample(" + std::to_string(sample) + ")");
  return 1;
}
bool FakeAudio::FreeSample(AudioHandle sample) {
  calls.push_back("FreeSample(" + std::to_string(sample) + ")");
  return true;
}
AudioHandle FakeAudio::CreateFileStream(bool fromMemory, const char* path, std::uint32_t offset, std::uint32_t length,
                                        unsigned flags) {
  calls.push_back("CreateFileStream(" + std::to_string(fromMemory) + "," + path + "," + std::to_string(offset) + "," +
                  std::to_string(length) + "," + std::to_string(flags) + ")");
  m_streamPaths[nextHandle] = path;
  return nextHandle++;
}
bool FakeAudio::PlayStream(AudioHandle stream, bool flush, unsigned flags) {
  calls.push_back("PlayStream(" + std::to_string(stream) + "," + std::to_string(flush) + "," + std::to_string(flags) + ")");
  playing = stream;
  playingLooped = (flags & PlayLooped) != 0;
  return true;
}
std::string FakeAudio::PlayingPath() const {
  const auto found = m_streamPaths.find(playing);
  return found == m_streamPaths.end() ? std::string() : found->second;
}
int FakeAudio::Count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}
