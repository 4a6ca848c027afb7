#include "platform/WindowIcon.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/support/StderrCapture.h"

namespace {
Uint8 AlphaAt(SDL_Surface* surface, int x, int y) {
  Uint32 pixel = 0;
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  SDL_memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
  Uint8 r = 0, g = 0, b = 0, a = 0;
  SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
  return a;
}

// A 24-bit BMP header for width x height pixels, followed by pixelBytes of
// black.
void WriteBmp(const std::string& path, int width, int height, int pixelBytes) {
  unsigned char header[54] = {'B', 'M'};
  header[10] = 54;
  header[14] = 40;
  for (int i = 0; i < 4; ++i) {
    header[18 + i] = static_cast<unsigned char>(width >> (8 * i));
    header[22 + i] = static_cast<unsigned char>(height >> (8 * i));
  }
  header[26] = 1;
  header[28] = 24;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(header, 1, sizeof header, file);
  for (int i = 0; i < pixelBytes; ++i) std::fputc(0, file);
  std::fclose(file);
}
}  // namespace

TEST(WindowIcon, TheGamesIconHasATransparentBackground) {
  WindowIcon icon;
  ASSERT_TRUE(icon.Load("Data/Icon.bmp"));
  SDL_Surface* surface = icon.Surface();
  EXPECT_EQ(surface->w, 64);
  EXPECT_EQ(surface->h, 64);
  ASSERT_NE(surface->format->Amask, 0u) << "the alpha channel is read";
  EXPECT_EQ(AlphaAt(surface, 0, 0), 0) << "corner";
  EXPECT_EQ(AlphaAt(surface, 63, 63), 0) << "corner";
  EXPECT_EQ(AlphaAt(surface, 32, 40), 255) << "the tree";
}

TEST(WindowIcon, RefusesWhatIsNoSmallPicture) {
  const std::string prefix = "/tmp/pegs-icon-" + std::to_string(::getpid());
  // A named pipe nobody writes to would block a reader for ever.
  const std::string pipe = prefix + "-pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // A whole picture too wide for an icon, and a small file whose header
  // claims 30000 x 30000 pixels.
  const std::string wide = prefix + "-wide.bmp";
  const std::string claimsHuge = prefix + "-huge.bmp";
  WriteBmp(wide, 300, 1, 300 * 3);
  WriteBmp(claimsHuge, 30000, 30000, 0);
  // Each is refused with one line naming it and why.
  constexpr const char* kNotAnIcon = "not a BMP picture of at most 256 x 256 pixels";
  const struct {
    std::string path;
    const char* why;
  } cases[] = {{"Data/NoSuchIcon.bmp", "no such file"}, {"Data", "a directory, not a file"},
               {"Data/Rudi.mp3", kNotAnIcon},         {pipe, "not a regular file"},
               {wide, kNotAnIcon},                    {claimsHuge, kNotAnIcon}};
  WindowIcon icon;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    StderrCapture capture;
    EXPECT_FALSE(icon.Load(c.path.c_str()));
    EXPECT_EQ(capture.Text(), "christmas-pegs: cannot use " + c.path + ": " + c.why + "\n");
    EXPECT_EQ(icon.Surface(), nullptr);
  }
  for (const std::string& path : {pipe, wide, claimsHuge}) unlink(path.c_str());
}
