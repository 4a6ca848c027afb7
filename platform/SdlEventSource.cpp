#include "platform/SdlEventSource.h"

#include <SDL.h>

namespace {
Key KeyOf(SDL_Keycode code) {
  switch (code) {
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_F7: return Key::F7;
    case SDLK_F9: return Key::F9;
    default: return Key::Other;
  }
}
}  // namespace

SdlEventSource::SdlEventSource(SdlInput& input) : m_input(input) {
  // Pointer motion is read as a displacement once per frame; its events
  // would only fill the queue.
  SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
  SDL_EventState(SDL_TEXTINPUT, SDL_IGNORE);
  SDL_EventState(SDL_TEXTEDITING, SDL_IGNORE);
  SDL_EventState(SDL_KEYMAPCHANGED, SDL_IGNORE);
}

bool SdlEventSource::Pending() {
  if (m_hangup.Take()) m_hangupPending = true;
  if (m_hangupPending) return true;
  SDL_PumpEvents();
  return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE;
}

void SdlEventSource::Wait(std::uint32_t milliseconds) {
  if (m_hangupPending) return;
  // SDL waits on the X connection itself; a signal or a hang-up is seen at
  // the latest when the time is up.
  SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
}

void SdlEventSource::TranslateOne(MessageQueue& queue) {
  if (m_hangupPending) {
    m_hangupPending = false;
    queue.Post({MessageKind::Close, 0, 0});
    return;
  }
  SDL_Event event;
  if (SDL_PollEvent(&event) == 0) return;
  switch (event.type) {
    case SDL_QUIT:  // also what SIGINT and SIGTERM become
      queue.Post({MessageKind::Close, 0, 0});
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: queue.Post({MessageKind::Close, 0, 0}); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          queue.Post({MessageKind::Size, event.window.data1, event.window.data2});
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          m_input.WindowActivated();
          queue.Post({MessageKind::FocusGained, 0, 0});
          break;
        case SDL_WINDOWEVENT_RESTORED:
          // SDL reports a focus change only when its state differs after
          // a short delay, so a window minimised and restored quickly can
          // come back without a focus event: restored with focus, it is as
          // good as focused anew.
          if (m_input.WindowActive()) {
            m_input.WindowActivated();
            queue.Post({MessageKind::FocusGained, 0, 0});
          }
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST: queue.Post({MessageKind::FocusLost, 0, 0}); break;
        default: break;
      }
      break;
    case SDL_KEYDOWN: {
      const Key key = KeyOf(event.key.keysym.sym);
      if (key == Key::Escape) m_input.LatchEscape();
      queue.Post({MessageKind::KeyDown, static_cast<int>(key), 0});
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) queue.Post({MessageKind::LeftButtonDown, 0, 0});
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT) queue.Post({MessageKind::LeftButtonUp, 0, 0});
      break;
    default:
      break;
  }
}
