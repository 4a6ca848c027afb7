#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct SdlStreamCloser {
  void operator()(SDL_RWops* stream) const { SDL_RWclose(stream); }
};
using SdlStream = std::unique_ptr<SDL_RWops, SdlStreamCloser>;

// One asset file opened for reading. The path is resolved as every asset
// path is (ResolveAssetPath); the file is opened without blocking and taken
// only when it is a regular file, since a named pipe or a device would stall
// the game or never end. Before any decoder reads it, a check of the
// caller's own looks at its header and its real size.
//
// The game goes on without an asset it cannot use, but says so: one line on
// standard error names the file and why, e.g.
// "christmas-pegs: cannot use Data/Rudi.mp3: no such file".
class AssetFile {
 public:
  // Looks at the open file; false refuses it.
  using HeaderCheck = std::function<bool(const AssetFile& file)>;

  // An SDL stream on the file that closes it, or null when the file is
  // missing, not a regular file or refused by the check; then the line is
  // written, with `refused` as the reason when the check refused it.
  static SdlStream Open(const char* path, const HeaderCheck& check, std::string_view refused);
  // Writes the line for a file that was opened but that its decoder could
  // not use after all.
  static void ReportUnusable(const char* path, std::string_view why);

  std::uint64_t Size() const { return m_size; }
  // Reads up to count bytes from offset; returns how many it read.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const;

  ~AssetFile();
  AssetFile(const AssetFile&) = delete;
  AssetFile& operator=(const AssetFile&) = delete;

 private:
  AssetFile() = default;
  static void Report(const std::string& name, std::string_view why);

  int m_fd = -1;
  std::uint64_t m_size = 0;
};
