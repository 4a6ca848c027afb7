#include "shell/GlContext.h"

#include "platform/DrawSurface.h"

GlContext::~GlContext() {
  if (m_context != nullptr) {
    static_cast<void>(m_window->MakeCurrent(nullptr));  // going away regardless
    m_window->DeleteGlContext(m_context);
  }
}

bool GlContext::CreateContext(DrawSurface* surface, std::uint8_t stencilBits) {
  if (surface == nullptr) return false;
  if (!SetupPixelFormat(surface, stencilBits)) return false;
  m_window = &surface->Window();
  m_context = m_window->CreateGlContext();
  if (m_context == nullptr) return false;
  return m_window->MakeCurrent(m_context);
}

bool GlContext::SetupPixelFormat(DrawSurface* surface, std::uint8_t stencilBits) {
  // The format is worked out on the first call and reused as it is after.
  static PixelFormat format{};
  static bool filled = false;
  const int colorBits = surface->CurrentColorBits() & 0xFF;
  if (!filled) {
    format.doubleBuffer = true;
    format.colorBits = colorBits;
    format.depthBits = 16;
    format.stencilBits = stencilBits;
    filled = true;
  }
  return surface->Window().SetPixelFormat(format);
}
