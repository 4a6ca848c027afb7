#include "tests/support/HeadlessGl.h"

#include <GL/glu.h>

#include <cstdlib>

#include "gfx/SceneSetup.h"

HeadlessGl::HeadlessGl(int width, int height) : m_width(width), m_height(height) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  m_window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (m_window == nullptr) return;
  m_context = SDL_GL_CreateContext(m_window);
  if (m_context != nullptr) SDL_GL_MakeCurrent(m_window, m_context);
}

HeadlessGl::~HeadlessGl() {
  if (m_context != nullptr) {
    SDL_GL_MakeCurrent(m_window, nullptr);
    SDL_GL_DeleteContext(m_context);
  }
  if (m_window != nullptr) SDL_DestroyWindow(m_window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

HeadlessGl& HeadlessGl::Shared() {
  static HeadlessGl gl(640, 480);
  return gl;
}

void HeadlessGl::ResetScene() {
  ApplyRestingGlState();
  ApplyProjection(m_width, m_height);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, 0);
}

std::vector<std::uint8_t> HeadlessGl::ReadPixels() const { return ReadBackBuffer(m_width, m_height); }

std::vector<std::uint8_t> HeadlessGl::ReadBackBuffer(int width, int height) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

void HeadlessGl::Pixel(const std::vector<std::uint8_t>& pixels, int x, int y, std::uint8_t rgb[3]) const {
  const std::size_t at = (static_cast<std::size_t>(y) * m_width + x) * 3;
  rgb[0] = pixels[at];
  rgb[1] = pixels[at + 1];
  rgb[2] = pixels[at + 2];
}

bool HeadlessGl::SaveBmp(const std::string& path) const {
  const std::vector<std::uint8_t> pixels = ReadPixels();
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, m_width, m_height, 24, SDL_PIXELFORMAT_RGB24);
  if (surface == nullptr) return false;
  for (int row = 0; row < m_height; ++row) {
    const std::uint8_t* from = pixels.data() + static_cast<std::size_t>(m_height - 1 - row) * m_width * 3;
    std::copy(from, from + static_cast<std::size_t>(m_width) * 3, static_cast<std::uint8_t*>(surface->pixels) + row * surface->pitch);
  }
  const bool ok = SDL_SaveBMP(surface, path.c_str()) == 0;
  SDL_FreeSurface(surface);
  return ok;
}

bool HeadlessGl::Project(double x, double y, double z, double& windowX, double& windowY) const {
  GLdouble model[16];
  GLdouble projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble windowZ = 0;
  return gluProject(x, y, z, model, projection, viewport, &windowX, &windowY, &windowZ) == GL_TRUE;
}
