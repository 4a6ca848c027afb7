#pragma once

#include <GL/gl.h>

// One GL 2D texture made from one BMP file. Keeps no copy of the pixels.
class Texture {
 public:
  Texture() = default;
  virtual ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Loads the file and builds the whole mipmap chain. False (and no texture
  // held) when the file cannot be read as a bitmap.
  virtual bool LoadMipmapped(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge);
  // As LoadMipmapped, level 0 only; width and height must be powers of two.
  virtual bool Load(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge);
  void Bind() const;
  void Release();
  GLuint Name() const { return m_name; }

 private:
  GLuint m_name = 0;
};
