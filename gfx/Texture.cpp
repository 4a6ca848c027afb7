#include "gfx/Texture.h"

#include <GL/glu.h>
#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/AssetFile.h"
#include "platform/LittleEndian.h"

namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kHeaderBytes = kFileHeaderSize + 40;  // file header and the fields of BITMAPINFOHEADER we check

// Checks the BMP headers against the file's real size and GL's texture size
// limit before any decoder allocates from them: the pixel rows the header
// claims must fit in the file.
bool HeaderIsSane(const unsigned char* header, std::size_t headerBytes, std::uint64_t fileSize, GLint maxSize) {
  if (headerBytes < kFileHeaderSize + 12 || header[0] != 'B' || header[1] != 'M') return false;
  const std::uint64_t pixelOffset = ReadLittle32(header + 10);
  const std::uint32_t infoSize = ReadLittle32(header + 14);
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  if (infoSize == 12) {  // OS/2 core header: 16-bit unsigned sizes
    width = ReadLittle16(header + 18);
    height = ReadLittle16(header + 20);
    bitsPerPixel = ReadLittle16(header + 24);
  } else if (infoSize >= 40 && headerBytes >= kHeaderBytes) {
    width = static_cast<std::int32_t>(ReadLittle32(header + 18));
    height = static_cast<std::int32_t>(ReadLittle32(header + 22));
    bitsPerPixel = ReadLittle16(header + 28);
    compression = ReadLittle32(header + 30);
  } else {
    return false;
  }
  if (height < 0) height = -height;  // top-down rows
  if (width <= 0 || height <= 0 || maxSize <= 0 || width > maxSize || height > maxSize) return false;
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > fileSize) return false;

  const std::uint64_t payload = fileSize - pixelOffset;
  const std::uint64_t pixels = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  switch (compression) {
    case 0:  // BI_RGB
    case 3:  // BI_BITFIELDS
    case 6: {  // BI_ALPHABITFIELDS
      if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 &&
          bitsPerPixel != 32) {
        return false;
      }
      const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
      return rowBytes * static_cast<std::uint64_t>(height) <= payload;
    }
    case 1:  // BI_RLE8
    case 2:  // BI_RLE4
      // A two-byte run codes at most 255 pixels; a picture the data could
      // not plausibly cover is refused rather than allocated.
      return (bitsPerPixel == 8 || bitsPerPixel == 4) && pixels <= payload * 128;
    default:
      return false;
  }
}

constexpr const char* kNotAPicture = "not a BMP picture the game can use";

// SDL's reading of an opened BMP, as 24-bit blue-green-red rows, each padded
// to a multiple of 4 bytes, top row first. Null when SDL cannot read it so.
SurfacePtr DecodeBgr24(SDL_RWops* source) {
  SurfacePtr surface(SDL_LoadBMP_RW(source, 0));
  if (!surface) return nullptr;
  if (surface->format->format != SDL_PIXELFORMAT_BGR24) {
    surface.reset(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_BGR24, 0));
    if (!surface) return nullptr;
  }
  const int rowBytes = (surface->w * 3 + 3) & ~3;
  if (surface->w <= 0 || surface->h <= 0 || surface->pitch != rowBytes || SDL_MUSTLOCK(surface.get())) return nullptr;
  return surface;
}

// Reads a BMP of any kind SDL understands into 24-bit blue-green-red rows,
// each padded to a multiple of 4 bytes, the picture's bottom row first (the
// order of a usual bottom-up file). Null, and a line on standard error, when
// the file is not a sane bitmap.
SurfacePtr ReadBottomUpBgr(const char* path) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  SdlStream source = AssetFile::Open(
      path,
      [maxSize](const AssetFile& file) {
        unsigned char header[kHeaderBytes] = {};
        const std::size_t headerBytes = file.ReadAt(0, header, sizeof header);
        return HeaderIsSane(header, headerBytes, file.Size(), maxSize);
      },
      kNotAPicture);
  if (!source) return nullptr;
  SurfacePtr surface = DecodeBgr24(source.get());
  if (!surface) {
    AssetFile::ReportUnusable(path, kNotAPicture);
    return nullptr;
  }
  const int rowBytes = surface->pitch;

  // SDL hands the rows top-down; turn them round in place.
  auto* pixels = static_cast<unsigned char*>(surface->pixels);
  for (int top = 0, bottom = surface->h - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(pixels + static_cast<std::size_t>(top) * rowBytes,
                     pixels + static_cast<std::size_t>(top + 1) * rowBytes,
                     pixels + static_cast<std::size_t>(bottom) * rowBytes);
  }
  return surface;
}

}  // namespace

void SwapRedBlue(unsigned char* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0) return;
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
  for (int row = 0; row < height; ++row) {
    unsigned char* pixel = pixels + static_cast<std::size_t>(row) * rowBytes;
    for (int column = 0; column < width; ++column, pixel += 3) std::swap(pixel[0], pixel[2]);
  }
}

Texture::~Texture() { Release(); }

bool Texture::LoadMipmapped(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge) {
  return LoadFile(path, minFilter, magFilter, clampToEdge, true);
}

bool Texture::Load(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge) {
  return LoadFile(path, minFilter, magFilter, clampToEdge, false);
}

bool Texture::LoadFile(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge, bool mipmapped) {
  Release();
  SurfacePtr bitmap = ReadBottomUpBgr(path);
  if (!bitmap) return false;
  const int width = bitmap->w;
  const int height = bitmap->h;
  auto* pixels = static_cast<unsigned char*>(bitmap->pixels);
  SwapRedBlue(pixels, width, height);

  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // rows start on 4-byte boundaries, as in the file
  glGenTextures(1, &m_name);
  glBindTexture(GL_TEXTURE_2D, m_name);
  if (clampToEdge) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
  if (mipmapped) {
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
  }
  return true;  // the bitmap is freed here; GL holds its own copy
}

void Texture::Bind() const { glBindTexture(GL_TEXTURE_2D, m_name); }

void Texture::Release() {
  if (m_name != 0) {
    glDeleteTextures(1, &m_name);
    m_name = 0;
  }
}
