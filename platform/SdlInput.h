#pragma once

#include "platform/InputDevice.h"
#include "platform/SdlWindow.h"

// Mouse and keyboard on SDL. The pointer is captured (relative mode) only
// while the game window is active (see SdlWindow::UpdatePointerCapture), so
// the desktop stays usable after a minimise or a switch to another program.
class SdlInput final : public InputDevice {
 public:
  explicit SdlInput(SdlWindow& window) : m_window(window) {}
  void ReadMouseDelta(int& dx, int& dy) override;
  bool PointerCaptured() const override { return m_window.PointerCaptured(); }
  bool PollEscape() override;
  void ShowSystemCursor(bool show) override;
  // Called for every Escape key-down event, so a short press between two
  // polls is not lost.
  void LatchEscape() { m_escapeLatched = true; }
  // The window gained focus or was restored.
  void WindowActivated() { m_window.Activated(); }
  bool WindowActive() const { return m_window.Active(); }

 private:
  SdlWindow& m_window;
  bool m_escapeLatched = false;
};
