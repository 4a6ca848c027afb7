#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/SoundBank.h"
#include "tests/support/FakeAudio.h"

namespace {

using Calls = std::vector<std::string>;

TEST(SoundBank, InitMakesItsCallsInOrderWithTheirArguments) {
  FakeAudio audio;
  {
    SoundBank bank(audio);
    int window = 0;
    bank.Init(&window);
    const Calls expected = {
        "Initialise(-1,44100,0)",
        "Start",
        "LoadSample(0,Data/Absetzen.wav,0,0,1,65536)",
        "CreateFileStream(0,Data\\Rudi.mp3,0,0,0)",
        "CreateFileStream(0,Data\\Jingle Bells.mp3,0,0,0)",
    };
    EXPECT_EQ(audio.calls, expected);
    audio.calls.clear();
  }
  // Sample handle 10 is freed, then the library released, then output stopped.
  EXPECT_EQ(audio.calls, (Calls{"FreeSample(10)", "Free", "Stop"}));
}

TEST(SoundBank, PlaysAndRestartsWithValidIndicesOnly) {
  struct Case {
    const char* name;
    void (*act)(SoundBank&);
    Calls expected;
  };
  const Case cases[] = {
      {"stream 0 once", [](SoundBank& b) { b.PlayStream(0, false); }, {"PlayStream(11,1,0)"}},
      {"stream 0 looped", [](SoundBank& b) { b.PlayStream(0, true); }, {"PlayStream(11,1,4)"}},
      {"stream 1 once", [](SoundBank& b) { b.PlayStream(1, false); }, {"PlayStream(12,1,0)"}},
      {"stream 2", [](SoundBank& b) { b.PlayStream(2, false); }, {}},
      {"stream -1", [](SoundBank& b) { b.PlayStream(-1, true); }, {}},
      {"sample 0", [](SoundBank& b) { b.PlaySample(0); }, {"PlaySample(10)"}},
      {"sample 1", [](SoundBank& b) { b.PlaySample(1); }, {}},
      {"sample -1", [](SoundBank& b) { b.PlaySample(-1); }, {}},
      {"restart 0", [](SoundBank& b) { b.RestartOutput(0); }, {"Stop", "Start"}},
      {"restart 1", [](SoundBank& b) { b.RestartOutput(1); }, {"Stop", "Start"}},
      {"restart 2", [](SoundBank& b) { b.RestartOutput(2); }, {}},
      {"restart -1", [](SoundBank& b) { b.RestartOutput(-1); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio audio;
    SoundBank bank(audio);
    bank.Init(nullptr);
    audio.calls.clear();
    c.act(bank);
    EXPECT_EQ(audio.calls, c.expected);
  }
}

TEST(SoundBank, NeverInitialisedMakesNoCallAtAll) {
  FakeAudio audio;
  {
    SoundBank bank(audio);
    bank.PlayStream(5, false);
    bank.PlaySample(3);
  }
  EXPECT_TRUE(audio.calls.empty());
}

}  // namespace
