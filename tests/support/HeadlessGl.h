#pragma once

#include <GL/gl.h>
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// A real GL context without a screen: SDL's offscreen video driver on Mesa.
// One per test program is enough; HeadlessGl::Shared() makes it on first use.
class HeadlessGl {
 public:
  HeadlessGl(int width, int height);
  ~HeadlessGl();
  HeadlessGl(const HeadlessGl&) = delete;
  HeadlessGl& operator=(const HeadlessGl&) = delete;

  static HeadlessGl& Shared();

  bool Ok() const { return m_context != nullptr; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  SDL_Window* SdlWindow() const { return m_window; }

  // The game's resting GL state and projection for a 640 x 480 view, the
  // modelview the identity, the buffers cleared.
  void ResetScene();
  // Window pixels as RGB, bottom row first (GL order).
  std::vector<std::uint8_t> ReadPixels() const;
  // The same from whatever context is current: the back buffer's lower-left
  // width x height pixels once drawing has finished.
  static std::vector<std::uint8_t> ReadBackBuffer(int width, int height);
  // RGB of the pixel at window coordinates (x right, y up from the bottom).
  void Pixel(const std::vector<std::uint8_t>& pixels, int x, int y, std::uint8_t rgb[3]) const;
  // Writes the colour buffer as a BMP (convert to PNG to look at it).
  bool SaveBmp(const std::string& path) const;
  // Window coordinates of an object-space point under the current matrices.
  bool Project(double x, double y, double z, double& windowX, double& windowY) const;

 private:
  int m_width;
  int m_height;
  SDL_Window* m_window = nullptr;
  SDL_GLContext m_context = nullptr;
};
