#include "platform/AssetPath.h"

#include <SDL.h>
#include <sys/stat.h>

#include <algorithm>

namespace {
bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}
}  // namespace

std::string ResolveAssetPath(const char* path) {
  std::string executableDir;
  if (char* base = SDL_GetBasePath()) {
    executableDir = base;
    SDL_free(base);
  }
  return ResolveAssetPath(path, executableDir);
}

std::string ResolveAssetPath(const char* path, const std::string& executableDir) {
  if (path == nullptr) return {};
  std::string name(path);
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty() || name.front() == '/' || Exists(name)) return name;
  if (executableDir.empty()) return name;

  for (const std::string& candidate : {executableDir + name, executableDir + CP_DATA_FROM_BINARY "/" + name}) {
    if (Exists(candidate)) return candidate;
  }
  return name;
}
