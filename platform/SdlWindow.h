#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "platform/NativeWindow.h"
#include "platform/PresentPacer.h"

struct SDL_SysWMinfo;

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
  void SetIcon(const char* path) override;
  void Show() override;
  void Raise() override;
  void TakeFocus() override;
  void Place(const WindowRect& rect) override;
  void SetCaptioned(bool captioned) override;
  bool Captioned() const override;
  void Minimize() override;
  bool Minimized() const override;
  void WithdrawMinimize() override { m_pointerParked = false; }
  void LeaveFullscreen() override;
  // SDL says the window is now shown on this display (on Wayland, the output
  // the compositor put it on): fullscreen goes there.
  void ShownOn(int display);
  void KeepThroughFocusLoss(bool keep) override;
  bool SizeIsFinal() const override;
  bool Viewable() const override;
  void ClientSize(int& width, int& height) const override;
  void DrawableSize(int& width, int& height) const override;
  int RefreshRate() const override;
  bool SetPixelFormat(const PixelFormat& format) override;
  GlContextHandle CreateGlContext() override;
  bool MakeCurrent(GlContextHandle context) override;
  void DeleteGlContext(GlContextHandle context) override;
  void SwapBuffers() override;
  const char* LastError() const override { return m_error.c_str(); }

  // Fullscreen in `mode`; before the window is open the mode is kept and
  // taken when it opens. A window already fullscreen in that mode is left
  // alone. False when SDL refuses.
  bool EnterFullscreen(const SDL_DisplayMode& mode);
  // Fullscreen at the screen's own mode, where the wanted one is missing;
  // before the window is open, taken when it opens.
  void FillScreen();
  SDL_Window* Handle() const { return m_window; }

  // The pointer is captured (SDL's relative mode, which also confines it)
  // only while the window is active: input focus, shown, not minimised and
  // viewable. SDL grabs the pointer for a window in relative mode, and a
  // grab on a window that is not viewable is retried for up to 5 s, so the
  // capture is let go before the window is minimised or changes fullscreen,
  // and after a minimise it waits until the window is activated again.
  // Captures or releases as the window's state asks; true while captured.
  bool UpdatePointerCapture();
  bool PointerCaptured() const { return m_pointerCaptured; }
  // The window has gained focus or been restored: the pointer may be taken,
  // and a border wanted while it was not shown is given now.
  void Activated();
  // Input focus, shown and not minimised, as SDL last saw it.
  bool Active() const;

 private:
  bool ApplyFullscreen(const SDL_DisplayMode& mode);
  void ApplyFillScreen();
  // On Wayland, SDL's idea of the window's position to the output it is
  // shown on.
  void PlaceOnShownOutput();
  // Whether a fill asked for may be carried out now (see SwapBuffers).
  bool ReadyToFill() const;
  // Carries out a fill asked for earlier, once it may be.
  void FillIfReady();
  void ReleasePointer();
  // Where the X server's pointer is in the window (on X11).
  std::optional<SDL_Point> XPointerInWindow(const SDL_SysWMinfo& info) const;
  // Gives the wanted border if the window is shown (see SetCaptioned).
  void ApplyBorder();
  // Fills `info` with the window's X11 handles; false on other video drivers.
  bool OnX11(SDL_SysWMinfo& info) const;
  // Whether the X server shows the window now (true on other video drivers).
  bool MappedOnXServer() const;
  // Whether the pointer may be taken now: always on X11, elsewhere once the
  // pointer is over the window.
  bool PointerOver() const;
  void Fail();

  SDL_Window* m_window = nullptr;
  bool m_open = false;
  bool m_pointerCaptured = false;
  bool m_pointerParked = false;
  bool m_keptThroughFocusLoss = false;
  // The window is a client of Xwayland (X11 inside a Wayland session).
  bool m_onXwayland = false;
  // On Xwayland, where in the window the X server's pointer was as the
  // capture began.
  std::optional<SDL_Point> m_xPointerMark;
  std::optional<SDL_DisplayMode> m_pendingMode;
  bool m_pendingFill = false;
  // Pictures swapped so far, up to the one that carries out a fill asked
  // for earlier on Wayland (see SwapBuffers).
  static constexpr int kSwapsBeforeFill = 2;
  // How long a fill waits for the output to be known, where there are
  // several.
  static constexpr int kSwapsAwaitingOutput = 30;
  int m_swaps = 0;
  // The display SDL last said the window is shown on; -1 before it says.
  int m_shownOn = -1;
  // A border asked for while the window was not shown.
  std::optional<bool> m_pendingCaptioned;
  PresentPacer m_pacer{SystemClock::Instance()};
  std::string m_error;
};
