#include "platform/AssetFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/AssetPath.h"
#include "platform/Diagnostics.h"

AssetFile::~AssetFile() {
  if (m_fd >= 0) close(m_fd);
}

namespace {
// Why a file could not be opened, in the words of the line on standard error.
std::string OpenFailure(int error) {
  switch (error) {
    case ENOENT:
      return "no such file";
    case EACCES:
      return "permission denied";
    default: {
      std::string text = std::strerror(error);
      if (!text.empty()) text.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(text.front())));
      return text;
    }
  }
}
}  // namespace

SdlStream AssetFile::Open(const char* path, const HeaderCheck& check, std::string_view refused) {
  const std::string name = ResolveAssetPath(path);
  if (name.empty()) return nullptr;
  AssetFile file;
  file.m_fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (file.m_fd < 0) {
    Report(name, OpenFailure(errno));
    return nullptr;
  }
  struct stat info {};
  if (fstat(file.m_fd, &info) != 0) {
    Report(name, OpenFailure(errno));
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    Report(name, S_ISDIR(info.st_mode) ? "a directory, not a file" : "not a regular file");
    return nullptr;
  }
  file.m_size = static_cast<std::uint64_t>(info.st_size);
  if (check && !check(file)) {
    Report(name, refused);
    return nullptr;
  }

  FILE* stream = fdopen(file.m_fd, "rb");
  if (stream == nullptr) {
    Report(name, OpenFailure(errno));
    return nullptr;
  }
  file.m_fd = -1;  // the stream owns it now
  SdlStream source(SDL_RWFromFP(stream, SDL_TRUE));
  if (!source) {
    std::fclose(stream);
    Report(name, "out of memory");
  }
  return source;
}

void AssetFile::ReportUnusable(const char* path, std::string_view why) {
  const std::string name = ResolveAssetPath(path);
  if (!name.empty()) Report(name, why);
}

void AssetFile::Report(const std::string& name, std::string_view why) {
  Diagnostics::Error("cannot use " + name + ": " + std::string(why));
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
