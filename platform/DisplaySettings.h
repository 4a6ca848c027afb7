#pragma once

// The screen's display mode. A fullscreen change is in force until it is
// reset; resetting gives the desktop's own mode back.
struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  bool operator==(const DisplayMode&) const = default;
};

enum class ModeChange { Fullscreen, Test, Reset };
enum class ModeChangeResult { Successful, Failed };

class DisplaySettings {
 public:
  virtual ~DisplaySettings() = default;
  // The desktop's own mode, as configured.
  virtual DisplayMode SavedMode() = 0;
  // The mode the screen runs in now.
  virtual DisplayMode CurrentMode() = 0;
  // Fullscreen: switch to `mode` (not null). Test with null: whether a reset
  // would work. Reset with null: give the desktop mode back. Reset with a mode:
  // make that the desktop's mode again.
  [[nodiscard]] virtual ModeChangeResult Change(const DisplayMode* mode, ModeChange how) = 0;
  // Where the two mode-change diagnostics go.
  virtual void DebugOutput(const char* text) = 0;
};
