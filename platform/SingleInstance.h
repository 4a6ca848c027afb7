#pragma once

struct _XDisplay;

// One game a display, as players expect of a fullscreen game. The running
// game owns an X selection on its display; a second start finds the owner,
// brings that game to the front and leaves without touching the screen.
// Without an X display, on a Wayland compositor alone, the running game
// holds a lock named after the Wayland display in XDG_RUNTIME_DIR, and a
// second start leaves (a Wayland client cannot raise another's window).
class SingleInstance {
 public:
  // Claims the display named by DISPLAY (or else WAYLAND_DISPLAY) for this
  // game, held until destroyed. Without a display there is nothing to claim.
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another game runs on the display DISPLAY names; that game's
  // window has been asked to come to the front (and out of a minimise).
  static bool BringRunningGameToFront();

 private:
  _XDisplay* m_display = nullptr;  // Xlib's Display
  int m_lock = -1;                 // the Wayland display's lock file
};
