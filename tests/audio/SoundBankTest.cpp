#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/SoundBank.h"
#include "tests/support/FakeAudio.h"

namespace {

// Where the first call starting with `prefix` lies among the calls; the
// number of calls when there is none.
std::size_t FirstCall(const FakeAudio& audio, const std::string& prefix) {
  const auto found = std::find_if(audio.calls.begin(), audio.calls.end(),
                                  [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
  return static_cast<std::size_t>(found - audio.calls.begin());
}

TEST(SoundBank, InitOpensTheOutputAndLoadsTheJumpSample) {
  FakeAudio audio;
  {
    SoundBank bank(audio);
    int window = 0;
    bank.Init(&window);
    EXPECT_LT(FirstCall(audio, "Initialise"), FirstCall(audio, "LoadSample")) << "the output first";
    EXPECT_EQ(audio.Count("Start"), 1);
    ASSERT_EQ(audio.Count("LoadSample"), 1);
    EXPECT_NE(audio.calls[FirstCall(audio, "LoadSample")].find("Data/Absetzen.wav"), std::string::npos);
    EXPECT_TRUE(audio.PlayingPath().empty()) << "nothing plays before it is asked for";
    audio.calls.clear();
  }
  // The sample goes before the library that holds it; the output stops.
  EXPECT_EQ(audio.Count("FreeSample"), 1);
  EXPECT_EQ(audio.Count("Free"), 2);  // "FreeSample" and "Free"
  EXPECT_LT(FirstCall(audio, "FreeSample"), FirstCall(audio, "Free,"));
  EXPECT_EQ(audio.Count("Stop"), 1);
  EXPECT_TRUE(audio.PlayingPath().empty());
}

TEST(SoundBank, PlaysWhatItIsAskedForAndNothingForIndicesItHasNot) {
  struct Case {
    const char* name;
    void (*act)(SoundBank&);
    const char* playing;  // the music heard afterwards
    bool looped;
    int samples;  // jump sounds started
  };
  const Case cases[] = {
      {"stream 0 once", [](SoundBank& b) { b.PlayStream(0, false); }, "Data\\Rudi.mp3", false, 0},
      {"stream 0 looped", [](SoundBank& b) { b.PlayStream(0, true); }, "Data\\Rudi.mp3", true, 0},
      {"stream 1 once", [](SoundBank& b) { b.PlayStream(1, false); }, "Data\\Jingle Bells.mp3", false, 0},
      {"stream 2", [](SoundBank& b) { b.PlayStream(2, false); }, "", false, 0},
      {"stream -1", [](SoundBank& b) { b.PlayStream(-1, true); }, "", false, 0},
      {"sample 0", [](SoundBank& b) { b.PlaySample(0); }, "", false, 1},
      {"sample 1", [](SoundBank& b) { b.PlaySample(1); }, "", false, 0},
      {"sample -1", [](SoundBank& b) { b.PlaySample(-1); }, "", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeAudio audio;
    SoundBank bank(audio);
    bank.Init(nullptr);
    audio.calls.clear();
    c.act(bank);
    EXPECT_EQ(audio.PlayingPath(), c.playing);
    if (*c.playing != '\0') {
      EXPECT_EQ(audio.playingLooped, c.looped);
    }
    EXPECT_EQ(audio.Count("PlaySample"), c.samples);
    if (*c.playing == '\0' && c.samples == 0) {
      EXPECT_TRUE(audio.calls.empty()) << "no call at all";
    }
  }
}

TEST(SoundBank, RestartingTheOutputSilencesWhatPlaysForItsTwoIndicesOnly) {
  for (const int index : {-1, 0, 1, 2}) {
    SCOPED_TRACE(index);
    FakeAudio audio;
    SoundBank bank(audio);
    bank.Init(nullptr);
    bank.PlayStream(0, false);
    audio.calls.clear();
    bank.RestartOutput(index);
    const bool valid = index == 0 || index == 1;
    EXPECT_EQ(audio.PlayingPath().empty(), valid);
    EXPECT_EQ(audio.Count("Start"), valid ? 1 : 0) << "the output runs again";
    if (!valid) {
      EXPECT_TRUE(audio.calls.empty());
    }
    // Music asked for afterwards is heard.
    bank.PlayStream(1, false);
    EXPECT_EQ(audio.PlayingPath(), "Data\\Jingle Bells.mp3");
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
