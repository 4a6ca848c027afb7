#pragma once

#include <GL/gl.h>

#include <string_view>

enum TextAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

// Base of the game's fonts: owns 256 consecutive display lists.
class GlFont {
 public:
  GlFont() = default;
  virtual void Print(int align, std::string_view text) const = 0;
  virtual ~GlFont();
  GlFont(const GlFont&) = delete;
  GlFont& operator=(const GlFont&) = delete;
  GLuint ListBase() const { return m_listBase; }

 protected:
  GLuint m_listBase = 0;
};
