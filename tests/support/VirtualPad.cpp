#include "tests/support/VirtualPad.h"

VirtualPad::VirtualPad() {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "virtual test pad";
  m_device = SDL_JoystickAttachVirtualEx(&desc);
  if (m_device < 0) return;
  // Opened for its controls to be set; the game opens it as a controller.
  m_joystick = SDL_JoystickOpen(m_device);
}

void VirtualPad::PullOut() {
  if (m_joystick != nullptr) SDL_JoystickClose(m_joystick);
  m_joystick = nullptr;
  if (m_device >= 0) SDL_JoystickDetachVirtual(m_device);
  m_device = -1;
}
