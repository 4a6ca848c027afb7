// File bytes -> Texture::LoadMipmapped and Texture::Load on a real GL
// context without a screen. A load may fail; it must never crash, read out of
// bounds or allocate beyond what the file justifies.
#include <GL/gl.h>

#include <cstdint>
#include <cstdlib>

#include "gfx/Texture.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/HeadlessGl.h"

namespace {
FuzzInput* input = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (!HeadlessGl::Shared().Ok()) std::abort();
  input = new FuzzInput();  // lives as long as the process
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!input->Write(data, size)) std::abort();
  Texture texture;
  if (texture.LoadMipmapped(input->Path(), GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, true)) {
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (width <= 0) std::abort();  // reported loaded, but nothing was uploaded
  }
  static_cast<void>(texture.Load(input->Path(), GL_NEAREST, GL_NEAREST, false));  // either answer is fine
  texture.Release();
  return 0;
}
