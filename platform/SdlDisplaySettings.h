#pragma once

#include "platform/DisplaySettings.h"
#include "platform/SdlWindow.h"

// Display modes on SDL: a mode change makes the game window fullscreen in
// that mode; a reset leaves fullscreen, which gives the desktop mode back.
class SdlDisplaySettings final : public DisplaySettings {
 public:
  explicit SdlDisplaySettings(SdlWindow& window) : m_window(window) {}
  DisplayMode SavedMode() override;
  DisplayMode CurrentMode() override;
  ModeChangeResult Change(const DisplayMode* mode, ModeChange how) override;
  void DebugOutput(const char* text) override;

 private:
  SdlWindow& m_window;
};
