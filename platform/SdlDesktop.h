#pragma once

#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DisplayLossExit.h"
#include "platform/MessageQueue.h"
#include "platform/MixerAudio.h"
#include "platform/SdlDisplaySettings.h"
#include "platform/SdlEventSource.h"
#include "platform/SdlGamepads.h"
#include "platform/SdlInput.h"
#include "platform/SdlWindow.h"
#include "platform/XErrorFilter.h"

// The real desktop: SDL video and events, SDL2_mixer audio, the system clock.
// A broken connection to the X display ends the game at once; an X error
// about a window that went away does not end it. Without a
// display to show the game on it is not Ok(): SDL's drivers that show nothing
// are taken only when SDL_VIDEODRIVER names one.
class SdlDesktop {
 public:
  SdlDesktop();
  ~SdlDesktop();
  SdlDesktop(const SdlDesktop&) = delete;
  SdlDesktop& operator=(const SdlDesktop&) = delete;

  bool Ok() const { return m_ok; }
  // Why it is not Ok(), as a sentence for the user.
  const std::string& Error() const { return m_error; }
  Desktop& Get() { return m_desktop; }

 private:
  DisplayLossExit m_displayLoss;  // first in, last out: it covers SDL's whole life
  bool m_ok = false;
  // In force while SDL's video runs: put in after SDL's own handler, so that
  // it chains to it, and taken out before SDL restores the one it found.
  std::optional<XErrorFilter> m_xErrors;
  std::string m_error;
  MixerAudio m_audio;  // outlives nothing that plays: the game is gone first
  SdlWindow m_window;
  SdlDisplaySettings m_display{m_window};
  SdlInput m_input{m_window};
  SdlGamepads m_pads;  // opened once the display is
  SdlEventSource m_events{m_window, m_input, m_pads};
  MessageQueue m_queue;
  Desktop m_desktop{m_window, m_display, m_input, SystemClock::Instance(), m_audio, m_events, m_queue};
};
