#pragma once

#include "platform/DisplaySettings.h"
#include "platform/NativeWindow.h"

// The window's drawable as the GL code sees it: the target that a GL context
// is bound to and whose back buffer is presented.
class DrawSurface {
 public:
  DrawSurface(NativeWindow& window, DisplaySettings& display) : m_window(window), m_display(display) {}
  NativeWindow& Window() const { return m_window; }
  int CurrentColorBits() const { return m_display.CurrentMode().bitsPerPixel; }
  void SwapBuffers() const { m_window.SwapBuffers(); }

 private:
  NativeWindow& m_window;
  DisplaySettings& m_display;
};
