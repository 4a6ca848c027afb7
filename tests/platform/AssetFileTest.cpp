#include "platform/AssetFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/StderrCapture.h"

namespace {

class AssetFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/cp_asset_XXXXXX";
    m_dir = mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }
  std::string Write(const char* name, const std::string& bytes) {
    const std::string path = m_dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::string m_dir;
};

TEST_F(AssetFileTest, TheCheckSeesTheHeaderAndTheRealSizeBeforeTheStreamIsRead) {
  const std::string path = Write("a.bin", "HEAD-and-more");
  std::string seen;
  std::uint64_t size = 0;
  SdlStream stream = AssetFile::Open(
      path.c_str(),
      [&](const AssetFile& file) {
        char header[4] = {};
        seen.assign(header, file.ReadAt(0, header, sizeof header));
        size = file.Size();
        // Reading beyond the end gives what is there.
        char tail[8] = {};
        EXPECT_EQ(file.ReadAt(10, tail, sizeof tail), 3u);
        return true;
      },
      "unused");
  ASSERT_TRUE(stream);
  EXPECT_EQ(seen, "HEAD");
  EXPECT_EQ(size, 13u);
  // The stream starts at the beginning, whatever the check read.
  char first[4] = {};
  EXPECT_EQ(SDL_RWread(stream.get(), first, 1, sizeof first), sizeof first);
  EXPECT_EQ(std::string(first, 4), "HEAD");
}

// Each refusal names the file and why in one line on standard error; the
// name is the one the game looked for, with the backslash turned round.
TEST_F(AssetFileTest, RefusesWhatIsNoReadableRegularFileOrWhatTheCheckRefusesAndSaysWhy) {
  const std::string file = Write("a.bin", "bytes");
  const std::string pipe = m_dir + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const auto accept = [](const AssetFile&) { return true; };
  const std::string prefix = "christmas-pegs: cannot use ";
  struct Case {
    const char* what;
    std::string path;
    bool checkAccepts;
    std::string line;
  };
  const Case cases[] = {
      {"missing", m_dir + "/none.bin", true, prefix + m_dir + "/none.bin: no such file\n"},
      {"missing, written with a backslash", "Data\\NoSuch.mp3", true, prefix + "Data/NoSuch.mp3: no such file\n"},
      {"missing folder on the way", file + "/x.bmp", true, prefix + file + "/x.bmp: not a directory\n"},
      {"directory", m_dir, true, prefix + m_dir + ": a directory, not a file\n"},
      {"named pipe (would block)", pipe, true, prefix + pipe + ": not a regular file\n"},
      {"refused by the check", file, false, prefix + file + ": not what the test wants\n"},
      {"null path", "", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const char* path = c.path.empty() ? nullptr : c.path.c_str();
    StderrCapture capture;
    SdlStream stream = c.checkAccepts
                           ? AssetFile::Open(path, accept, "not what the test wants")
                           : AssetFile::Open(path, [](const AssetFile&) { return false; }, "not what the test wants");
    EXPECT_FALSE(stream);
    EXPECT_EQ(capture.Text(), c.line);
  }
}

TEST_F(AssetFileTest, AFileThatOpensSaysNothingAndADecoderRefusalIsNamedLikeTheRest) {
  const std::string file = Write("a.bin", "bytes");
  StderrCapture capture;
  EXPECT_TRUE(AssetFile::Open(file.c_str(), nullptr, "unused"));
  AssetFile::ReportUnusable("Data\\Jingle Bells.mp3", "not a sound the game can play");
  EXPECT_EQ(capture.Text(), "christmas-pegs: cannot use Data/Jingle Bells.mp3: not a sound the game can play\n");
}

}  // namespace
