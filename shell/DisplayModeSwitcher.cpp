#include "shell/DisplayModeSwitcher.h"

bool DisplayModeSwitcher::ChangeMode(int width, int height, int bitsPerPixel) {
  m_savedMode = m_display->SavedMode();
  const DisplayMode wanted{width, height, bitsPerPixel == -1 ? m_savedMode.bitsPerPixel : bitsPerPixel};
  if (m_display->Change(&wanted, ModeChange::Fullscreen) != ModeChangeResult::Successful) {
    m_display->DebugOutput("SScreenmode : Displaymode changing failed!\n");
    return false;
  }
  m_changed = true;
  m_display->DebugOutput("SScreenmode : Displaymode changed successfully!\n");
  return true;
}

void DisplayModeSwitcher::Restore() {
  if (!m_changed) return;
  // Nothing better can be done when a reset fails: its result is ignored.
  if (m_display->Change(nullptr, ModeChange::Test) == ModeChangeResult::Successful) {
    static_cast<void>(m_display->Change(nullptr, ModeChange::Reset));
    static_cast<void>(m_display->Change(&m_savedMode, ModeChange::Reset));
  } else {
    static_cast<void>(m_display->Change(nullptr, ModeChange::Reset));
  }
  m_changed = false;
}
