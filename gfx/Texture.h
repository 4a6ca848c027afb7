#pragma once

#include <GL/gl.h>

// Exchanges, in place, the first and third byte of every 3-byte pixel of an
// image whose rows each start on a 4-byte boundary (blue-green-red becomes
// red-green-blue). The fill bytes at the end of each row are not touched. An
// image of width or height 0 (or less) is left alone.
void SwapRedBlue(unsigned char* pixels, int width, int height);

// One GL 2D texture made from one BMP file. Keeps no copy of the pixels.
class Texture {
 public:
  Texture() = default;
  virtual ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Loads the file and builds the whole mipmap chain. False (and no texture
  // held) when the file cannot be read as a bitmap.
  [[nodiscard]] virtual bool LoadMipmapped(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge);
  // As LoadMipmapped, level 0 only; width and height must be powers of two.
  [[nodiscard]] virtual bool Load(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge);
  // Binds the held texture to GL_TEXTURE_2D; binds 0 when none is held.
  void Bind() const;
  // Deletes the held texture, if any.
  void Release();
  GLuint Name() const { return m_name; }

 private:
  bool LoadFile(const char* path, GLint minFilter, GLint magFilter, bool clampToEdge, bool mipmapped);

  GLuint m_name = 0;
};
