#include "gfx/Framebuffer.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

// What a copy between two framebuffers must agree on to be exact: the bits
// of each colour channel and of depth and stencil, and whether depth is a
// fixed-point or a floating-point number.
struct Formats {
  GLint red = 0;
  GLint green = 0;
  GLint blue = 0;
  GLint alpha = 0;
  GLint depth = 0;
  GLint stencil = 0;
  GLint depthType = GL_NONE;
  GLint samples = 0;
};

// Whether a target of the formats made holds the window's pictures
// exactly. Alpha the window lacks may be there: nothing drawn into the
// target blends with it.
bool Holds(const Formats& made, const Formats& window) {
  const bool alpha = made.alpha == window.alpha || window.alpha == 0;
  return made.red == window.red && made.green == window.green && made.blue == window.blue && alpha &&
         made.depth == window.depth && made.stencil == window.stencil && made.depthType == window.depthType &&
         made.samples == window.samples;
}

// The colour texture asked for: an unsized format with the window's own
// layout named as the format of its (absent) pixels. From such a request
// Mesa stores the texture as the window's buffer is stored, and a copy
// between the two is then a plain copy of memory rather than a drawing.
struct ColorRequest {
  GLint internalFormat;
  GLenum format;
  GLenum type;
};

GLuint DrawBinding() {
  GLint bound = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
  return static_cast<GLuint>(bound);
}

// The formats of the framebuffer bound for drawing.
Formats BoundFormats() {
  Formats formats;
  glGetIntegerv(GL_RED_BITS, &formats.red);
  glGetIntegerv(GL_GREEN_BITS, &formats.green);
  glGetIntegerv(GL_BLUE_BITS, &formats.blue);
  glGetIntegerv(GL_ALPHA_BITS, &formats.alpha);
  glGetIntegerv(GL_DEPTH_BITS, &formats.depth);
  glGetIntegerv(GL_STENCIL_BITS, &formats.stencil);
  glGetIntegerv(GL_SAMPLES, &formats.samples);
  // The window's own buffers are named otherwise than an object's attachments.
  const GLenum depth = DrawBinding() == 0 ? GL_DEPTH : GL_DEPTH_ATTACHMENT;
  if (formats.depth > 0) {
    glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, depth, GL_FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE,
                                          &formats.depthType);
  }
  return formats;
}

std::optional<ColorRequest> ColorRequestFor(const Formats& f) {
  if (f.red == 5 && f.green == 6 && f.blue == 5 && f.alpha == 0) {
    return ColorRequest{GL_RGB, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
  }
  if (f.red == 8 && f.green == 8 && f.blue == 8) return ColorRequest{GL_RGBA, GL_BGRA, GL_UNSIGNED_BYTE};
  return std::nullopt;
}

// The renderbuffer format that holds depth and stencil, or GL_NONE.
GLenum DepthFormatFor(const Formats& f) {
  if (f.depthType != GL_UNSIGNED_NORMALIZED) return GL_NONE;
  if (f.depth == 24 && f.stencil == 8) return GL_DEPTH24_STENCIL8;
  if (f.stencil != 0) return GL_NONE;
  if (f.depth == 16) return GL_DEPTH_COMPONENT16;
  if (f.depth == 24) return GL_DEPTH_COMPONENT24;
  if (f.depth == 32) return GL_DEPTH_COMPONENT32;
  return GL_NONE;
}

}  // namespace

Framebuffer::~Framebuffer() { Release(); }

bool Framebuffer::Available() {
  // "MAJOR.MINOR", then anything.
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr) return false;
  const int major = std::atoi(version);
  const char* dot = std::strchr(version, '.');
  const int minor = dot != nullptr ? std::atoi(dot + 1) : 0;
  return major > 4 || (major == 4 && minor >= 5);
}

bool Framebuffer::Make(int width, int height) {
  Release();
  if (width <= 0 || height <= 0) return false;
  const Formats window = BoundFormats();
  const std::optional<ColorRequest> color = ColorRequestFor(window);
  const GLenum depthFormat = DepthFormatFor(window);
  if (window.samples != 0 || !color || depthFormat == GL_NONE) return false;

  GLint textureBefore = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &textureBefore);
  glGenTextures(1, &m_color);
  glBindTexture(GL_TEXTURE_2D, m_color);
  glTexImage2D(GL_TEXTURE_2D, 0, color->internalFormat, width, height, 0, color->format, color->type, nullptr);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureBefore));
  GLint renderbufferBefore = 0;
  glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbufferBefore);
  glGenRenderbuffers(1, &m_depth);
  glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
  glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, static_cast<GLuint>(renderbufferBefore));

  glGenFramebuffers(1, &m_framebuffer);
  m_width = width;
  m_height = height;
  const GLuint before = DrawBinding();
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_framebuffer);
  glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_color, 0);
  const GLenum depthAttachment = window.stencil != 0 ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
  glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, depthAttachment, GL_RENDERBUFFER, m_depth);
  // A driver may store a buffer with more bits than asked for; the copy
  // would then convert, and exactly is what it must be.
  const bool usable =
      glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && Holds(BoundFormats(), window);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, before);
  if (!usable) Release();
  return usable;
}

bool Framebuffer::Held() const { return m_framebuffer != 0 && glIsFramebuffer(m_framebuffer) == GL_TRUE; }

// Mesa keeps a window's rows top first and an object's bottom first, and
// turns the viewport over for the window. Drawn into the object with the
// viewport turned over and the clip origin at the upper left, every vertex
// lands at the same place in memory as it would in the window, and is
// rasterised by the same edge rule; the copy out turns the rows back.
Framebuffer::Bound Framebuffer::BeginDrawing() const {
  Bound before{};
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &before.framebuffer);
  glGetIntegerv(GL_VIEWPORT, before.viewport);
  glGetIntegerv(GL_CLIP_ORIGIN, &before.clipOrigin);
  glGetIntegerv(GL_CLIP_DEPTH_MODE, &before.clipDepth);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_framebuffer);
  const auto& [x, y, width, height] = before.viewport;
  glViewport(x, m_height - y - height, width, height);
  glClipControl(GL_UPPER_LEFT, static_cast<GLenum>(before.clipDepth));
  return before;
}

void Framebuffer::EndDrawing(const Bound& before) {
  glClipControl(static_cast<GLenum>(before.clipOrigin), static_cast<GLenum>(before.clipDepth));
  const auto& [x, y, width, height] = before.viewport;
  glViewport(x, y, width, height);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(before.framebuffer));
}

void Framebuffer::CopyOut(int x, int y, int width, int height) const {
  GLint readBefore = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBefore);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
  const int top = m_height - y - height;
  glBlitFramebuffer(x, top, x + width, top + height, x, y + height, x + width, y,
                    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBefore));
}

void Framebuffer::Release() {
  if (m_framebuffer != 0) glDeleteFramebuffers(1, &m_framebuffer);
  if (m_color != 0) glDeleteTextures(1, &m_color);
  if (m_depth != 0) glDeleteRenderbuffers(1, &m_depth);
  m_framebuffer = 0;
  m_color = 0;
  m_depth = 0;
  m_width = 0;
  m_height = 0;
}
