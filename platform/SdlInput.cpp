#include "platform/SdlInput.h"

void SdlInput::ReadMouseDelta(int& dx, int& dy) {
  dx = 0;
  dy = 0;
  const bool wasCaptured = m_window.PointerCaptured();
  if (!m_window.UpdatePointerCapture()) return;
  if (!wasCaptured) {
    SDL_GetRelativeMouseState(nullptr, nullptr);  // start afresh
    return;
  }
  SDL_GetRelativeMouseState(&dx, &dy);
}

bool SdlInput::PollEscape() {
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  const bool down = keys != nullptr && keys[SDL_SCANCODE_ESCAPE] != 0;
  const bool pressed = m_escapeLatched || down;
  m_escapeLatched = false;
  return pressed;
}

void SdlInput::ShowSystemCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }
