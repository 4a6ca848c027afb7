#pragma once

#include <SDL.h>

// A game pad on SDL's virtual joystick driver, known to SDL as a game
// controller with every button and axis numbered as SDL's own; plugged in
// on construction (SDL's game-controller support must be running), pulled
// out on destruction. Setting a control changes the pad's state only: SDL
// reports it at its next event pump.
class VirtualPad {
 public:
  VirtualPad();
  ~VirtualPad() { PullOut(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  // Whether the pad is plugged in and opened for setting its controls.
  bool PluggedIn() const { return m_joystick != nullptr; }
  void Button(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(m_joystick, button, down ? 1 : 0);
  }
  void Stick(Sint16 x, Sint16 y) {
    SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTX, x);
    SDL_JoystickSetVirtualAxis(m_joystick, SDL_CONTROLLER_AXIS_LEFTY, y);
  }
  void PullOut();

 private:
  int m_device = -1;
  SDL_Joystick* m_joystick = nullptr;
};
