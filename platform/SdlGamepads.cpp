#include "platform/SdlGamepads.h"

#include <algorithm>
#include <cstdlib>

namespace {
// Of the stick's travel of 32767 either way.
constexpr int kPushed = 16384;
constexpr int kLetGo = 12288;

Key KeyOf(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return Key::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return Key::Right;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return Key::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return Key::Down;
    case SDL_CONTROLLER_BUTTON_A: return Key::Select;
    case SDL_CONTROLLER_BUTTON_B: return Key::Cancel;
    case SDL_CONTROLLER_BUTTON_START: return Key::Start;
    case SDL_CONTROLLER_BUTTON_BACK: return Key::Back;
    default: return Key::Other;
  }
}

// The direction a stick at (x, y) holds (y grows downward), given the one it
// held before: that one until the stick falls back below kLetGo along it,
// otherwise the axis pushed furthest once it is past kPushed.
Key StickKey(int x, int y, Key before) {
  switch (before) {
    case Key::Left: if (-x >= kLetGo) return before; break;
    case Key::Right: if (x >= kLetGo) return before; break;
    case Key::Up: if (-y >= kLetGo) return before; break;
    case Key::Down: if (y >= kLetGo) return before; break;
    default: break;
  }
  if (std::max(std::abs(x), std::abs(y)) < kPushed) return Key::Other;
  if (std::abs(x) >= std::abs(y)) return x < 0 ? Key::Left : Key::Right;
  return y < 0 ? Key::Up : Key::Down;
}

void Post(MessageQueue& queue, MessageKind kind, Key key) { queue.Post({kind, static_cast<int>(key), 0}); }
}  // namespace

SdlGamepads::~SdlGamepads() {
  m_pads.clear();
  if (m_open) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlGamepads::Open() {
  if (!m_open) m_open = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  return m_open;
}

bool SdlGamepads::Translate(const SDL_Event& event, MessageQueue& queue) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Take(event.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      LetGo(event.cdevice.which, queue);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      const Key key = KeyOf(event.cbutton.button);
      if (key != Key::Other && Find(event.cbutton.which) != nullptr) {
        Post(queue, event.type == SDL_CONTROLLERBUTTONDOWN ? MessageKind::KeyDown : MessageKind::KeyUp, key);
      }
      return true;
    }
    case SDL_CONTROLLERAXISMOTION:
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        MoveStick(event.caxis.which, queue);
      }
      return true;
    case SDL_CONTROLLERDEVICEREMAPPED:
      return true;
    default:
      return false;
  }
}

void SdlGamepads::Take(int deviceIndex) {
  SDL_GameController* opened = SDL_GameControllerOpen(deviceIndex);
  if (opened == nullptr) return;
  std::unique_ptr<SDL_GameController, Close> handle(opened);
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(opened));
  // A pad announced twice (plugged in while SDL started) is taken once; SDL
  // counts the second open and this handle's close undoes it.
  if (Find(id) == nullptr) m_pads.push_back({std::move(handle), id});
}

void SdlGamepads::LetGo(SDL_JoystickID id, MessageQueue& queue) {
  Pad* pad = Find(id);
  if (pad == nullptr) return;
  // SDL reports the pad's controls released before it reports the pad gone;
  // a stick direction still held is let go here all the same.
  if (pad->stick != Key::Other) Post(queue, MessageKind::KeyUp, pad->stick);
  m_pads.erase(m_pads.begin() + (pad - m_pads.data()));
  queue.Post({MessageKind::PadRemoved, 0, 0});
}

void SdlGamepads::MoveStick(SDL_JoystickID id, MessageQueue& queue) {
  Pad* pad = Find(id);
  if (pad == nullptr) return;
  const Key now = StickKey(SDL_GameControllerGetAxis(pad->handle.get(), SDL_CONTROLLER_AXIS_LEFTX),
                           SDL_GameControllerGetAxis(pad->handle.get(), SDL_CONTROLLER_AXIS_LEFTY), pad->stick);
  if (now == pad->stick) return;
  if (pad->stick != Key::Other) Post(queue, MessageKind::KeyUp, pad->stick);
  if (now != Key::Other) Post(queue, MessageKind::KeyDown, now);
  pad->stick = now;
}

SdlGamepads::Pad* SdlGamepads::Find(SDL_JoystickID id) {
  const auto pad = std::find_if(m_pads.begin(), m_pads.end(), [id](const Pad& p) { return p.id == id; });
  return pad == m_pads.end() ? nullptr : &*pad;
}
