#pragma once

#include <SDL.h>

#include <memory>

// A window icon read from a BMP asset, alpha channel included. Only a
// regular file of an icon's size is read: a named pipe or a device would
// block, and a large picture is no icon.
class WindowIcon {
 public:
  // False when the file is missing, not a regular file or no BMP picture of
  // at most 256 x 256 pixels.
  bool Load(const char* path);
  SDL_Surface* Surface() const { return m_surface.get(); }

 private:
  struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
  };
  std::unique_ptr<SDL_Surface, SurfaceDeleter> m_surface;
};
