#include "platform/AssetFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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
  SdlStream stream = AssetFile::Open(path.c_str(), [&](const AssetFile& file) {
    char header[4] = {};
    seen.assign(header, file.ReadAt(0, header, sizeof header));
    size = file.Size();
    // Reading beyond the end gives what is there.
    char tail[8] = {};
    EXPECT_EQ(file.ReadAt(10, tail, sizeof tail), 3u);
    return true;
  });
  ASSERT_TRUE(stream);
  EXPECT_EQ(seen, "HEAD");
  EXPECT_EQ(size, 13u);
  // The stream starts at the beginning, whatever the check read.
  char first[4] = {};
  EXPECT_EQ(SDL_RWread(stream.get(), first, 1, sizeof first), sizeof first);
  EXPECT_EQ(std::string(first, 4), "HEAD");
}

TEST_F(AssetFileTest, RefusesWhatIsNoReadableRegularFileOrWhatTheCheckRefuses) {
  const std::string file = Write("a.bin", "bytes");
  const std::string pipe = m_dir + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const auto accept = [](const AssetFile&) { return true; };
  struct Case {
    const char* what;
    std::string path;
    bool checkAccepts;
  };
  const Case cases[] = {
      {"missing", m_dir + "/none.bin", true},
      {"directory", m_dir, true},
      {"named pipe (would block)", pipe, true},
      {"refused by the check", file, false},
      {"null path", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const char* path = c.path.empty() ? nullptr : c.path.c_str();
    SdlStream stream = c.checkAccepts ? AssetFile::Open(path, accept)
                                      : AssetFile::Open(path, [](const AssetFile&) { return false; });
    EXPECT_FALSE(stream);
  }
}

}  // namespace
