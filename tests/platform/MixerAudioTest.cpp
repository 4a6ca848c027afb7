#include <gtest/gtest.h>
#include <SDL_mixer.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/MixerAudio.h"
#include "tests/support/StderrCapture.h"

namespace {

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/cp_audio_XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

void UseDriver(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }

// SDL's disk driver writes the mixed output (signed 16-bit) to a file. A
// short write delay keeps it a little faster than real time without letting
// the file run away.
void UseDiskDriver(const std::string& file) {
  UseDriver("disk");
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "2", 1);
}

// Polls the output file until a sample louder than the threshold appears,
// or the deadline passes.
bool OutputBecomesAudible(const std::string& file, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::ifstream in(file, std::ios::binary);
  std::vector<char> buffer(1 << 16);
  while (std::chrono::steady_clock::now() < deadline) {
    if (!in.is_open()) in.open(file, std::ios::binary);
    in.clear();
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::streamsize got = in.gcount() & ~std::streamsize{1};
    for (std::streamsize i = 0; i < got; i += 2) {
      const auto value = static_cast<std::int16_t>(static_cast<std::uint8_t>(buffer[i]) |
                                                   (static_cast<std::uint8_t>(buffer[i + 1]) << 8));
      if (value > 300 || value < -300) return true;
    }
    if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(MixerAudio, MusicStreamReachesTheOutput) {
  TempDir dir;
  const std::string output = dir.Path() + "/out.raw";
  UseDiskDriver(output);
  MixerAudio audio;
  ASSERT_TRUE(audio.Initialise(-1, 44100, 0, nullptr));
  ASSERT_TRUE(audio.Start());
  const AudioHandle stream = audio.CreateFileStream(false, "Data\\Rudi.mp3", 0, 0, 0);
  ASSERT_NE(stream, 0u);
  ASSERT_TRUE(audio.PlayStream(stream, true, 0));
  EXPECT_TRUE(OutputBecomesAudible(output, std::chrono::seconds(5)));
  EXPECT_TRUE(audio.Free());
}

TEST(MixerAudio, JumpSampleReachesTheOutput) {
  TempDir dir;
  const std::string output = dir.Path() + "/out.raw";
  UseDiskDriver(output);
  MixerAudio audio;
  ASSERT_TRUE(audio.Initialise(-1, 44100, 0, nullptr));
  ASSERT_TRUE(audio.Start());
  const AudioHandle sample = audio.LoadSample(false, "Data/Absetzen.wav", 0, 0, 1, AudioLayer::SampleOverrideVolume);
  ASSERT_NE(sample, 0u);
  EXPECT_NE(audio.PlaySample(sample), 0u);
  EXPECT_TRUE(OutputBecomesAudible(output, std::chrono::seconds(5)));
}

TEST(MixerAudio, StopSilencesEverythingAndStartLetsTheNextStreamPlay) {
  UseDriver("dummy");
  MixerAudio audio;
  ASSERT_TRUE(audio.Initialise(-1, 44100, 0, nullptr));
  audio.Start();
  const AudioHandle sample = audio.LoadSample(false, "Data/Absetzen.wav", 0, 0, 1, AudioLayer::SampleOverrideVolume);
  const AudioHandle first = audio.CreateFileStream(false, "Data\\Rudi.mp3", 0, 0, 0);
  const AudioHandle second = audio.CreateFileStream(false, "Data\\Jingle Bells.mp3", 0, 0, 0);
  ASSERT_NE(sample, 0u);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(sample, first);
  EXPECT_NE(first, second);

  ASSERT_TRUE(audio.PlayStream(first, true, 0));
  EXPECT_NE(audio.PlaySample(sample), 0u);
  EXPECT_NE(audio.PlaySample(sample), 0u);  // takes its own slot over
  EXPECT_EQ(Mix_Playing(-1), 1);
  EXPECT_EQ(Mix_PlayingMusic(), 1);

  audio.Stop();
  EXPECT_EQ(Mix_Playing(-1), 0);
  EXPECT_EQ(Mix_PlayingMusic(), 0);

  audio.Start();
  ASSERT_TRUE(audio.PlayStream(second, true, AudioLayer::PlayLooped));
  EXPECT_EQ(Mix_PlayingMusic(), 1);
  EXPECT_EQ(Mix_PausedMusic(), 0);

  // The sound bank's release order: sample, library, then a late Stop.
  EXPECT_TRUE(audio.FreeSample(sample));
  EXPECT_TRUE(audio.Free());
  EXPECT_FALSE(audio.Stop());
}

// Handle 0, unknown handles and files that are not sounds do nothing, on a
// working layer and on one that was never (or no longer) initialised.
TEST(MixerAudio, ToleratesHandleZeroBadFilesAndNoDevice) {
  TempDir dir;
  const std::string pipe = dir.Path() + "/pipe.wav";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::ofstream(dir.Path() + "/text.wav") << "not a sound at all";
  const std::string notSound = dir.Path() + "/text.wav";
  const std::string missing = dir.Path() + "/missing.mp3";
  // The game's own bell with a data chunk that claims 2 GB, and cut short:
  // the mixer would allocate the claimed size before reading.
  std::ifstream bellFile("Data/Absetzen.wav", std::ios::binary);
  std::string bell((std::istreambuf_iterator<char>(bellFile)), std::istreambuf_iterator<char>());
  const std::size_t data = bell.find("data");
  ASSERT_NE(data, std::string::npos);
  std::string huge = bell;
  huge.replace(data + 4, 4, "\xf0\xff\xff\x7f", 4);
  const std::string hugeWave = dir.Path() + "/huge.wav";
  std::ofstream(hugeWave, std::ios::binary) << huge;
  const std::string cutWave = dir.Path() + "/cut.wav";
  std::ofstream(cutWave, std::ios::binary) << bell.substr(0, 1000);
  // The bell with 256 channels: SDL keeps the count in a byte, gets none and
  // divides by it.
  std::string wide = bell;
  const std::size_t format = bell.find("fmt ");
  ASSERT_NE(format, std::string::npos);
  wide.replace(format + 10, 2, "\x00\x01", 2);
  const std::string wideWave = dir.Path() + "/wide.wav";
  std::ofstream(wideWave, std::ios::binary) << wide;
  // Ten bytes the mixer recognises as nothing; it once leaked its stream.
  const std::string garbage = dir.Path() + "/garbage.wav";
  std::ofstream(garbage, std::ios::binary) << std::string("\0WA\xb4\x01X\0\0WX", 10);
  const std::string paths[] = {missing, dir.Path(), pipe, notSound, hugeWave, cutWave, wideWave, garbage};

  // A layer without a device never looks at the files, so it names none; an
  // open one names each bad file once per load, for the sample and for the
  // stream.
  auto exerciseEverything = [&](MixerAudio& audio, bool open) {
    for (const AudioHandle handle : {0u, 999u}) {
      EXPECT_EQ(audio.PlaySample(handle), 0u);
      EXPECT_FALSE(audio.FreeSample(handle));
      EXPECT_FALSE(audio.PlayStream(handle, true, AudioLayer::PlayLooped));
    }
    for (const std::string& path : paths) {
      SCOPED_TRACE(path);
      const auto before = std::chrono::steady_clock::now();
      StderrCapture capture;
      EXPECT_EQ(audio.LoadSample(false, path.c_str(), 0, 0, 1, AudioLayer::SampleOverrideVolume), 0u);
      EXPECT_EQ(audio.CreateFileStream(false, path.c_str(), 0, 0, 0), 0u);
      EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
      const std::string said = capture.Text();
      if (open) {
        const std::string line = "christmas-pegs: cannot use " + path + ": ";
        const std::size_t second = said.find(line, 1);
        EXPECT_EQ(said.rfind(line, 0), 0u) << said;
        ASSERT_NE(second, std::string::npos) << said;
        EXPECT_EQ(said.substr(0, second), said.substr(second)) << "the same line for both loads";
        EXPECT_EQ(said.find('\n'), second - 1) << said;
      } else {
        EXPECT_EQ(said, "");
      }
    }
    EXPECT_EQ(audio.LoadSample(false, nullptr, 0, 0, 1, 0), 0u);
    EXPECT_EQ(audio.CreateFileStream(false, nullptr, 0, 0, 0), 0u);
  };

  {
    SCOPED_TRACE("never initialised");
    MixerAudio audio;
    exerciseEverything(audio, false);
    EXPECT_EQ(audio.LoadSample(false, "Data/Absetzen.wav", 0, 0, 1, 0), 0u);
    EXPECT_FALSE(audio.Start());
    EXPECT_FALSE(audio.Stop());
    EXPECT_FALSE(audio.Free());
  }
  {
    SCOPED_TRACE("initialised");
    UseDriver("dummy");
    MixerAudio audio;
    ASSERT_TRUE(audio.Initialise(-1, 44100, 0, nullptr));
    EXPECT_FALSE(audio.Initialise(-1, 44100, 0, nullptr));  // already open
    exerciseEverything(audio, true);
    EXPECT_NE(audio.LoadSample(false, "Data/Absetzen.wav", 0, 0, 1, 0), 0u);  // released by the destructor
  }
  {
    SCOPED_TRACE("no such driver");
    UseDriver("no-such-driver");
    MixerAudio audio;
    StderrCapture capture;
    EXPECT_FALSE(audio.Initialise(-1, 44100, 0, nullptr));
    EXPECT_EQ(capture.Text().rfind("christmas-pegs: no sound: ", 0), 0u);
    exerciseEverything(audio, false);
    EXPECT_FALSE(audio.Start());
    EXPECT_EQ(audio.CreateFileStream(false, "Data\\Rudi.mp3", 0, 0, 0), 0u);
  }
  UseDriver("dummy");
}

// Without a sound device the player reads one line of the game's own, and
// none of the sound libraries' noise (ALSA prints eight lines here).
TEST(MixerAudio, NoSoundDeviceIsSaidInOneLine) {
  for (const char* driver : {"alsa", "no-such-driver"}) {
    SCOPED_TRACE(driver);
    UseDriver(driver);
    MixerAudio audio;
    StderrCapture capture;
    const bool opened = audio.Initialise(-1, 44100, 0, nullptr);
    const std::string said = capture.Text();
    if (opened) {
      EXPECT_EQ(said, "");
      continue;  // a machine with a sound card
    }
    EXPECT_EQ(said.rfind("christmas-pegs: no sound: ", 0), 0u) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
  }
  UseDriver("dummy");
}

}  // namespace
