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
  if (path == nullptr) return {};
  std::string name(path);
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.empty() || name.front() == '/' || Exists(name)) return name;

  if (char* base = SDL_GetBasePath()) {
    std::string besideExecutable = std::string(base) + name;
    SDL_free(base);
    if (Exists(besideExecutable)) return besideExecutable;
  }
  std::string installed = std::string(CP_DATA_DIR) + "/" + name;
  if (Exists(installed)) return installed;
  return name;
}
