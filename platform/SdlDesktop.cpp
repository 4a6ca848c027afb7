#include "platform/SdlDesktop.h"

#include <SDL.h>

SdlDesktop::SdlDesktop() {
  m_ok = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (!m_ok) m_error = SDL_GetError();
}

SdlDesktop::~SdlDesktop() {
  if (m_ok) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}
