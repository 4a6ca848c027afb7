#include "platform/WindowIcon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/AssetPath.h"

namespace {
constexpr int kMaxSide = 256;
// A 256 x 256 picture at 32 bits with the largest header and a palette.
constexpr off_t kMaxFileBytes = kMaxSide * kMaxSide * 4 + 2048;
}  // namespace

bool WindowIcon::Load(const char* path) {
  m_surface.reset();
  const std::string name = ResolveAssetPath(path);
  if (name.empty()) return false;
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info {};
  FILE* stream = nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes ||
      (stream = fdopen(fd, "rb")) == nullptr) {
    close(fd);
    return false;
  }
  SDL_RWops* source = SDL_RWFromFP(stream, SDL_TRUE);
  if (source == nullptr) {
    std::fclose(stream);
    return false;
  }
  m_surface.reset(SDL_LoadBMP_RW(source, 1));
  if (m_surface && (m_surface->w > kMaxSide || m_surface->h > kMaxSide)) m_surface.reset();
  return m_surface != nullptr;
}
