#include "platform/SdlEventSource.h"

#include <SDL.h>

namespace {
// W A S D by their place on the keyboard, whatever its layout prints there;
// the other keys by what they mean.
Key KeyOf(const SDL_Keysym& key) {
  switch (key.scancode) {
    case SDL_SCANCODE_W: return Key::Up;
    case SDL_SCANCODE_A: return Key::Left;
    case SDL_SCANCODE_S: return Key::Down;
    case SDL_SCANCODE_D: return Key::Right;
    default: break;
  }
  switch (key.sym) {
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_F7: return Key::F7;
    case SDLK_F9: return Key::F9;
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_UP: return Key::Up;
    case SDLK_DOWN: return Key::Down;
    case SDLK_SPACE:
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Select;
    default: return Key::Other;
  }
}
}  // namespace

SdlEventSource::SdlEventSource(SdlWindow& window, SdlInput& input, SdlGamepads& pads)
    : m_window(window), m_input(input), m_pads(pads) {
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
  if (m_pads.Translate(event, queue)) return;
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
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: m_window.ShownOn(event.window.data1); break;
        // Told as it happens: a minimise the player undoes at once may be
        // over before any frame looks.
        case SDL_WINDOWEVENT_MINIMIZED: queue.Post({MessageKind::Minimized, 0, 0}); break;
        default: break;
      }
      break;
    case SDL_KEYDOWN: {
      const Key key = KeyOf(event.key.keysym);
      if (key == Key::Escape) m_input.LatchEscape();
      queue.Post({MessageKind::KeyDown, static_cast<int>(key), 0});
      break;
    }
    case SDL_KEYUP:
      queue.Post({MessageKind::KeyUp, static_cast<int>(KeyOf(event.key.keysym)), 0});
      break;
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
