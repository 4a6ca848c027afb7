#pragma once

#include "platform/DisplaySettings.h"

// Switches the screen to the game's mode and gives the desktop's mode back.
class DisplayModeSwitcher {
 public:
  explicit DisplayModeSwitcher(DisplaySettings& display) : m_display(&display) {}
  virtual ~DisplayModeSwitcher() { Restore(); }
  DisplayModeSwitcher(const DisplayModeSwitcher&) = delete;
  DisplayModeSwitcher& operator=(const DisplayModeSwitcher&) = delete;

  // True when the screen now runs in the requested mode. A bitsPerPixel of
  // -1 keeps the depth of the desktop's mode.
  [[nodiscard]] bool ChangeMode(int width, int height, int bitsPerPixel);
  // Gives the desktop's mode back if a change is in force; else does nothing.
  void Restore();
  bool Changed() const { return m_changed; }

 private:
  DisplaySettings* m_display;
  DisplayMode m_savedMode{};
  bool m_changed = false;
};
