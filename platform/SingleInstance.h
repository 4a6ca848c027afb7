#pragma once

struct _XDisplay;

// One game a display, as players expect of a fullscreen game. The running
// game owns an X selection on its display; a second start finds the owner,
// brings that game to the front and leaves without touching the screen.
class SingleInstance {
 public:
  // Claims the display named by DISPLAY for this game, on a connection of
  // its own, held until destroyed. Without a display there is nothing to
  // claim.
  SingleInstance();
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when another game runs on the display DISPLAY names; that game's
  // window has been asked to come to the front (and out of a minimise).
  static bool BringRunningGameToFront();

 private:
  _XDisplay* m_display = nullptr;  // Xlib's Display
};
