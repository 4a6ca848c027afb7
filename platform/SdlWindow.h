#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "platform/NativeWindow.h"
#include "platform/PresentPacer.h"

// The game window on SDL, with its GL context binding and its fullscreen
// display mode.
class SdlWindow final : public NativeWindow {
 public:
  SdlWindow() = default;
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  bool Open(const char* caption, bool captioned, const WindowRect& rect) override;
  bool IsOpen() const override { return m_open; }
  void Destroy() override;
  void Show() override;
  void Raise() override;
  void TakeFocus() override;
  void Place(const WindowRect& rect) override;
  void SetCaptioned(bool captioned) override;
  bool Captioned() const override;
  void Minimize() override;
  bool Minimized() const override;
  bool Viewable() const override;
  void ClientSize(int& width, int& height) const override;
  bool SetPixelFormat(const PixelFormat& format) override;
  GlContextHandle CreateGlContext() override;
  bool MakeCurrent(GlContextHandle context) override;
  void DeleteGlContext(GlContextHandle context) override;
  void SwapBuffers() override;
  const char* LastError() const override { return m_error.c_str(); }

  // Fullscreen in `mode`; before the window is open the mode is kept and
  // taken when it opens. False when SDL refuses.
  bool EnterFullscreen(const SDL_DisplayMode& mode);
  void LeaveFullscreen();
  bool HasInputFocus() const;
  SDL_Window* Handle() const { return m_window; }

 private:
  bool ApplyFullscreen(const SDL_DisplayMode& mode);
  void Fail();
  // Of the display the window is on; 0 when not known.
  int RefreshRate() const;

  SDL_Window* m_window = nullptr;
  bool m_open = false;
  std::optional<SDL_DisplayMode> m_pendingMode;
  PresentPacer m_pacer{SystemClock::Instance()};
  std::string m_error;
};
