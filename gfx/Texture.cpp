#include "gfx/Texture.h"

Texture::~Texture() { Release(); }
bool Texture::LoadMipmapped(const char*, GLint, GLint, bool) { Release(); return false; }
bool Texture::Load(const char*, GLint, GLint, bool) { Release(); return false; }
void Texture::Bind() const { glBindTexture(GL_TEXTURE_2D, m_name); }
void Texture::Release() {
  if (m_name != 0) {
    glDeleteTextures(1, &m_name);
    m_name = 0;
  }
}
