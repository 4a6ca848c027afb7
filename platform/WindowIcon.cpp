#include "platform/WindowIcon.h"

#include <cstdint>

#include "platform/AssetFile.h"
#include "platform/LittleEndian.h"

namespace {
constexpr int kMaxSide = 256;
// A 256 x 256 picture at 32 bits with the largest header and a palette.
constexpr std::uint64_t kMaxFileBytes = kMaxSide * kMaxSide * 4 + 2048;

// SDL sizes the picture from the header before it reads a pixel: a header
// is checked first, so that no file can make it allocate more than an icon.
bool FitsAnIcon(const AssetFile& file) {
  unsigned char header[26] = {};
  if (file.Size() > kMaxFileBytes || file.ReadAt(0, header, sizeof header) != sizeof header) return false;
  const auto width = static_cast<std::int32_t>(ReadLittle32(header + 18));
  const auto height = static_cast<std::int32_t>(ReadLittle32(header + 22));
  return header[0] == 'B' && header[1] == 'M' && ReadLittle32(header + 14) >= 40 && width > 0 &&
         width <= kMaxSide && height != 0 && height >= -kMaxSide && height <= kMaxSide;
}
}  // namespace

bool WindowIcon::Load(const char* path) {
  m_surface.reset();
  constexpr const char* kNotAnIcon = "not a BMP picture of at most 256 x 256 pixels";
  const SdlStream source = AssetFile::Open(path, FitsAnIcon, kNotAnIcon);
  if (!source) return false;
  m_surface.reset(SDL_LoadBMP_RW(source.get(), 0));
  if (!m_surface) AssetFile::ReportUnusable(path, kNotAnIcon);
  return m_surface != nullptr;
}
