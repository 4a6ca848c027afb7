#include "platform/SdlDisplaySettings.h"

#include "platform/Diagnostics.h"

namespace {
DisplayMode FromSdl(const SDL_DisplayMode& mode) {
  return {mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format))};
}

Uint32 FormatFor(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 16: return SDL_PIXELFORMAT_RGB565;
    case 15: return SDL_PIXELFORMAT_RGB555;
    case 24: return SDL_PIXELFORMAT_RGB24;
    default: return SDL_PIXELFORMAT_RGB888;
  }
}
}  // namespace

DisplayMode SdlDisplaySettings::SavedMode() {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {};
  return FromSdl(mode);
}

DisplayMode SdlDisplaySettings::CurrentMode() {
  SDL_DisplayMode mode{};
  if (SDL_GetCurrentDisplayMode(0, &mode) != 0) return {};
  return FromSdl(mode);
}

ModeChangeResult SdlDisplaySettings::Change(const DisplayMode* mode, ModeChange how) {
  switch (how) {
    case ModeChange::Fullscreen: {
      if (mode == nullptr) return ModeChangeResult::Failed;
      // A Wayland compositor changes no mode for a client: SDL would only
      // draw the mode's small picture and have it scaled up to the output,
      // blurred at any scale but 1. The window fills the output instead,
      // in the output's own pixels, and the picture is fitted into it.
      if (m_window.SizeIsFinal()) {
        m_window.FillScreen();
        return ModeChangeResult::Successful;
      }
      // The screen's depth is fixed on X11: a mode of the wanted size is
      // taken at the depth the display offers.
      SDL_DisplayMode wanted{FormatFor(mode->bitsPerPixel), mode->width, mode->height, 0, nullptr};
      SDL_DisplayMode closest{};
      if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != mode->width ||
          closest.h != mode->height) {
        // Fullscreen without the mode is still fullscreen: the window fills
        // the screen as it is, and the picture is fitted into it.
        m_window.FillScreen();
        return ModeChangeResult::Failed;
      }
      return m_window.EnterFullscreen(closest) ? ModeChangeResult::Successful : ModeChangeResult::Failed;
    }
    case ModeChange::Test: {
      SDL_DisplayMode desktop{};
      return SDL_GetDesktopDisplayMode(0, &desktop) == 0 ? ModeChangeResult::Successful : ModeChangeResult::Failed;
    }
    case ModeChange::Reset:
      // Leaving fullscreen is what gives the desktop mode back; resetting to
      // the desktop's own mode afterwards has nothing left to do.
      if (mode == nullptr) m_window.LeaveFullscreen();
      return ModeChangeResult::Successful;
  }
  return ModeChangeResult::Failed;
}

void SdlDisplaySettings::DebugOutput(const char* text) { Diagnostics::Trace(text); }
