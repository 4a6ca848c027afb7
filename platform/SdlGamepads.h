#pragma once

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/MessageQueue.h"

// The game pads SDL's game-controller support knows, taken when plugged in
// (SDL announces those plugged in before the start as plugged in then) and
// let go when pulled out, and their events turned into the window's
// messages: the d-pad and the left stick as the cursor keys, A as Select,
// B as Cancel, Start and Back as themselves, pressed and released. The left
// stick counts as pushed past half its travel and as let go again below
// three eighths, so that it neither trembles nor flickers between two
// directions: a direction stays held until the stick leaves it.
class SdlGamepads {
 public:
  SdlGamepads() = default;
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // Starts SDL's game-controller support. False when SDL cannot: the game
  // then plays without pads.
  bool Open();
  // Posts the messages one SDL event stands for; true when the event was a
  // pad's, handled or not.
  bool Translate(const SDL_Event& event, MessageQueue& queue);
  // How many pads are taken.
  int Count() const { return static_cast<int>(m_pads.size()); }

 private:
  struct Close {
    void operator()(SDL_GameController* pad) const { SDL_GameControllerClose(pad); }
  };
  struct Pad {
    std::unique_ptr<SDL_GameController, Close> handle;
    SDL_JoystickID id;
    Key stick = Key::Other;  // the direction the left stick holds
  };

  void Take(int deviceIndex);
  void LetGo(SDL_JoystickID id, MessageQueue& queue);
  void MoveStick(SDL_JoystickID id, MessageQueue& queue);
  Pad* Find(SDL_JoystickID id);

  bool m_open = false;
  std::vector<Pad> m_pads;
};
