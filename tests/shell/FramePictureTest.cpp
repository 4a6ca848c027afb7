#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "shell/GameWindow.h"
#include "tests/support/FakeDesktop.h"
#include "tests/support/HeadlessGl.h"

// Whole frames of the game, drawn from a fixed random seed on a scripted
// clock, compared with the pictures kept in shell/frame-pictures.txt: how
// the scene is drawn may change, what it shows may not.
//
// A picture is kept as the mean colour of each 16 x 16 block of the 640 x 480
// frame. Means take the sub-pixel shifts of edges that reordered arithmetic
// causes (a block moves by a unit or two at most) but not a missing, moved or
// differently lit tree or flake.
//
// CP_FRAME_PICTURES=write rewrites the kept file from the frames drawn now;
// CP_FRAME_PICTURES=DIR writes each frame as a BMP into DIR to look at.

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kBlock = 16;
constexpr int kTolerance = 2;  // per block and channel, of 255
constexpr std::int64_t kFrameCounts = 16000;  // 16 ms of the fake 1 MHz clock
const char* const kKeptFile = CP_SOURCE_DIR "/tests/shell/frame-pictures.txt";

using BlockMeans = std::vector<int>;

std::map<std::string, BlockMeans> ReadKept() {
  std::map<std::string, BlockMeans> kept;
  std::ifstream in(kKeptFile);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    BlockMeans means;
    int value = 0;
    while (fields >> value) means.push_back(value);
    kept[name] = means;
  }
  return kept;
}

class FramePictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<GameWindow>(fake.desktop);
    std::srand(7);  // after the window's own seeding: the snow is the same every run
    ASSERT_TRUE(window->CreateMainWindow());
    // The first frame waits for two clock readings to differ.
    fake.clock.step = kFrameCounts;
    window->StepFrame();
    fake.clock.step = 0;
  }

  void Frames(int count) {
    for (int i = 0; i < count; ++i) {
      fake.clock.now += kFrameCounts;
      window->StepFrame();
    }
  }

  // The picture now on screen against the kept one of this name.
  void ExpectPicture(const std::string& name) {
    const std::vector<std::uint8_t> pixels = HeadlessGl::ReadBackBuffer(kWidth, kHeight);

    BlockMeans means;
    for (int by = 0; by < kHeight; by += kBlock) {
      for (int bx = 0; bx < kWidth; bx += kBlock) {
        for (int channel = 0; channel < 3; ++channel) {
          int sum = 0;
          for (int y = by; y < by + kBlock; ++y) {
            for (int x = bx; x < bx + kBlock; ++x) sum += pixels[(static_cast<std::size_t>(y) * kWidth + x) * 3 + channel];
          }
          means.push_back((sum + kBlock * kBlock / 2) / (kBlock * kBlock));
        }
      }
    }

    const char* mode = std::getenv("CP_FRAME_PICTURES");
    if (mode != nullptr && std::string(mode) == "write") {
      written[name] = means;
      return;
    }
    if (mode != nullptr && *mode != '\0') SaveBmp(std::string(mode) + "/" + name + ".bmp", pixels);

    const std::map<std::string, BlockMeans> kept = ReadKept();
    const auto found = kept.find(name);
    ASSERT_NE(found, kept.end()) << "no kept picture " << name << " in " << kKeptFile;
    ASSERT_EQ(found->second.size(), means.size());
    int worst = 0;
    int worstBlock = 0;
    int blocksOff = 0;
    for (std::size_t i = 0; i < means.size(); ++i) {
      const int off = std::abs(means[i] - found->second[i]);
      if (off > kTolerance) ++blocksOff;
      if (off > worst) {
        worst = off;
        worstBlock = static_cast<int>(i / 3);
      }
    }
    EXPECT_EQ(blocksOff, 0) << name << ": the worst block is " << worst << " off, at block column "
                            << worstBlock % (kWidth / kBlock) << ", row from the bottom " << worstBlock / (kWidth / kBlock);
  }

  static void SaveBmp(const std::string& path, std::vector<std::uint8_t> pixels) {
    // GL rows run bottom to top; a BMP written by SDL top to bottom.
    std::vector<std::uint8_t> flipped(pixels.size());
    const std::size_t row = static_cast<std::size_t>(kWidth) * 3;
    for (int y = 0; y < kHeight; ++y) {
      std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(row * y), row,
                  flipped.begin() + static_cast<std::ptrdiff_t>(row * (kHeight - 1 - y)));
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(flipped.data(), kWidth, kHeight, 24,
                                                              static_cast<int>(row), SDL_PIXELFORMAT_RGB24);
    if (surface == nullptr) return;
    SDL_SaveBMP(surface, path.c_str());
    SDL_FreeSurface(surface);
  }

  void TearDown() override {
    if (written.empty()) return;
    std::map<std::string, BlockMeans> kept = ReadKept();
    for (const auto& [name, means] : written) kept[name] = means;
    std::ofstream out(kKeptFile);
    for (const auto& [name, means] : kept) {
      out << name;
      for (int value : means) out << ' ' << value;
      out << '\n';
    }
  }

  FakeDesktop fake;
  std::unique_ptr<GameWindow> window;
  std::map<std::string, BlockMeans> written;
};

}  // namespace

// Play: the full board of standing trees, the snow and the bottle cursor;
// then a tree lifted and dragged, tilting so that its trunk shows; then the
// jumped tree leaving, close to the eye if it rises.
TEST_F(FramePictureTest, Play) {
  fake.input.escapes = {true};
  Frames(30);
  ASSERT_EQ(window->State(), StatePlaying);
  ExpectPicture("play");

  ASSERT_TRUE(window->Board().Pick(0.0f, -2.0f));  // the tree in column 3, row 5
  for (int i = 0; i < 20; ++i) {
    window->Board().Drag(0.03f * static_cast<float>(i), -2.0f + 0.1f * static_cast<float>(i));
    Frames(1);
  }
  ExpectPicture("lifted");

  window->Board().Drop(0.0f, 0.0f);  // over the tree in row 4 into the empty middle
  ASSERT_EQ(window->Board().CountPegs(), 31);
  Frames(40);
  ExpectPicture("leaving");
}

// The board's exit after a dead end: the board spins towards the eye, the
// trunks showing beside the tops, and the snow falls behind it.
TEST_F(FramePictureTest, BoardExit) {
  fake.input.escapes = {true};
  Frames(2);
  const std::vector<PegBoard::Cell> pegs = {{2, 0}, {4, 0}, {3, 3}, {0, 2}, {6, 4}, {2, 6}, {4, 6}, {0, 4}, {6, 2}};
  window->Board().Arrange(pegs);
  Frames(300);
  ASSERT_EQ(window->State(), StateBoardExit);
  ExpectPicture("exit");
}
