#pragma once

// The one top-level window on the desktop, with the GL binding of its
// drawable. Created hidden; all geometry in screen pixels.
struct WindowRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What the GL drawable must offer.
struct PixelFormat {
  bool doubleBuffer = true;
  int colorBits = 0;
  int depthBits = 16;
  int stencilBits = 0;
};

using GlContextHandle = void*;

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual bool Open(const char* caption, bool captioned, const WindowRect& rect) = 0;
  virtual bool IsOpen() const = 0;
  virtual void Destroy() = 0;
  // Takes the window's icon from a BMP asset; keeps the old one when the
  // file is missing or no picture.
  virtual void SetIcon(const char* path) = 0;
  virtual void Show() = 0;
  virtual void Raise() = 0;
  virtual void TakeFocus() = 0;
  virtual void Place(const WindowRect& rect) = 0;
  // A window that is not shown (minimised, perhaps only just) keeps the
  // wanted border until it is shown again.
  virtual void SetCaptioned(bool captioned) = 0;
  virtual bool Captioned() const = 0;
  // Asks the window manager to minimise the window. Until it is shown again
  // (or the minimise is withdrawn) the window is taken as possibly unmapped:
  // nothing that waits for a mapped window is done to it.
  virtual void Minimize() = 0;
  virtual bool Minimized() const = 0;
  // The minimise asked for did not come: the window is in use again, and
  // its pointer may be taken at once.
  virtual void WithdrawMinimize() = 0;
  // Leaves fullscreen, whether it came with a mode change or filled the
  // screen as it is; nothing for a window that is not fullscreen.
  virtual void LeaveFullscreen() = 0;
  // While kept, a fullscreen window that loses the focus is not put away by
  // the window layer itself (which would give the desktop's mode back and
  // minimise it): the game is changing its window, and a window manager
  // that reframes a window takes its focus for a moment.
  virtual void KeepThroughFocusLoss(bool /*keep*/) {}
  // Whether the size the desktop gives the window is final: a Wayland
  // compositor's configure is, and asking again only fights it.
  virtual bool SizeIsFinal() const { return false; }
  // False while the window is minimised or hidden: nothing drawn would be seen.
  virtual bool Viewable() const = 0;
  virtual void ClientSize(int& width, int& height) const = 0;
  // The size in pixels of the drawable GL draws into. A compositor that
  // scales the window or refuses a mode change can keep it at another size
  // than the client area the window reports.
  virtual void DrawableSize(int& width, int& height) const = 0;
  // The refresh rate in Hz of the display the window is on; 0 when not known.
  virtual int RefreshRate() const { return 0; }

  virtual bool SetPixelFormat(const PixelFormat& format) = 0;
  virtual GlContextHandle CreateGlContext() = 0;
  virtual bool MakeCurrent(GlContextHandle context) = 0;
  virtual void DeleteGlContext(GlContextHandle context) = 0;
  virtual void SwapBuffers() = 0;
  // What went wrong with the last failed operation, for the one-line message.
  virtual const char* LastError() const = 0;
};
