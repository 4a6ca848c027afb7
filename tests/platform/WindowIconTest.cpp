#include "platform/WindowIcon.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {
Uint8 AlphaAt(SDL_Surface* surface, int x, int y) {
  Uint32 pixel = 0;
  const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
  SDL_memcpy(&pixel, row + x * surface->format->BytesPerPixel, surface->format->BytesPerPixel);
  Uint8 r = 0, g = 0, b = 0, a = 0;
  SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
  return a;
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
  // A named pipe nobody writes to would block a reader for ever.
  const std::string pipe = "/tmp/pegs-icon-pipe-" + std::to_string(::getpid());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  WindowIcon icon;
  for (const char* path : {"Data/NoSuchIcon.bmp", "Data", "Data/Rudi.mp3", pipe.c_str()}) {
    EXPECT_FALSE(icon.Load(path)) << path;
    EXPECT_EQ(icon.Surface(), nullptr) << path;
  }
  unlink(pipe.c_str());
}
