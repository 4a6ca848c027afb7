#pragma once

#include <cstdint>

#include "platform/NativeWindow.h"

class DrawSurface;

// The GL rendering context bound to the game window's drawable.
class GlContext {
 public:
  GlContext() = default;
  virtual ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  // Sets the pixel format, creates the context and makes it current. False
  // when there is no surface, no usable pixel format or no context.
  [[nodiscard]] bool CreateContext(DrawSurface* surface, std::uint8_t stencilBits);
  [[nodiscard]] bool SetupPixelFormat(DrawSurface* surface, std::uint8_t stencilBits);

 private:
  GlContextHandle m_context = nullptr;
  NativeWindow* m_window = nullptr;
};
