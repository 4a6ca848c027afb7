#include "platform/AssetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/AssetPath.h"

AssetFile::~AssetFile() {
  if (m_fd >= 0) close(m_fd);
}

SdlStream AssetFile::Open(const char* path, const HeaderCheck& check) {
  const std::string name = ResolveAssetPath(path);
  if (name.empty()) return nullptr;
  AssetFile file;
  file.m_fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (file.m_fd < 0) return nullptr;
  struct stat info {};
  if (fstat(file.m_fd, &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  file.m_size = static_cast<std::uint64_t>(info.st_size);
  if (check && !check(file)) return nullptr;

  FILE* stream = fdopen(file.m_fd, "rb");
  if (stream == nullptr) return nullptr;
  file.m_fd = -1;  // the stream owns it now
  SdlStream source(SDL_RWFromFP(stream, SDL_TRUE));
  if (!source) std::fclose(stream);
  return source;
}

std::size_t AssetFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const {
  auto* bytes = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = pread(m_fd, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}
