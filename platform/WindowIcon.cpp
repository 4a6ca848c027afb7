#include "platform/WindowIcon.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/AssetPath.h"
#include "platform/LittleEndian.h"

namespace {
constexpr int kMaxSide = 256;
// A 256 x 256 picture at 32 bits with the largest header and a palette.
constexpr off_t kMaxFileBytes = kMaxSide * kMaxSide * 4 + 2048;

// SDL sizes the picture from the header before it reads a pixel: a header
// is checked first, so that no file can make it allocate more than an icon.
bool HeaderFitsAnIcon(int fd) {
  unsigned char header[26] = {};
  if (pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
  const auto width = static_cast<std::int32_t>(ReadLittle32(header + 18));
  const auto height = static_cast<std::int32_t>(ReadLittle32(header + 22));
  return header[0] == 'B' && header[1] == 'M' && ReadLittle32(header + 14) >= 40 && width > 0 &&
         width <= kMaxSide && height != 0 && height >= -kMaxSide && height <= kMaxSide;
}
}  // namespace

bool WindowIcon::Load(const char* path) {
  m_surface.reset();
  const std::string name = ResolveAssetPath(path);
  if (name.empty()) return false;
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info {};
  FILE* stream = nullptr;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileBytes || !HeaderFitsAnIcon(fd) ||
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
  return m_surface != nullptr;
}
