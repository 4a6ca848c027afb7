#include "platform/SdlDesktop.h"

#include <SDL.h>

#include <string>

namespace {
// The window's class on X11 and its application id on Wayland: the name of
// the program, of its desktop entry and of that entry's StartupWMClass.
constexpr const char* kWindowClass = "christmas-pegs";

constexpr const char* kNoDisplay = "no display found (is DISPLAY set? run it inside a desktop session)";

bool Set(const char* variable) {
  const char* value = SDL_getenv(variable);
  return value != nullptr && *value != '\0';
}

// The video drivers to try, as SDL_VIDEODRIVER would name them: those of the
// displays the environment names, X11 first as SDL itself prefers. Left to
// itself SDL would end with its drivers that show nothing, and the game
// would run unseen; those are for tests, which ask for them by name.
std::string DesktopDrivers() {
  std::string drivers;
  if (Set("DISPLAY")) drivers = "x11";
  if (Set("WAYLAND_DISPLAY")) drivers += drivers.empty() ? "wayland" : ",wayland";
  return drivers;
}
}  // namespace

SdlDesktop::SdlDesktop() {
  // A class the user set in the environment is left as it is.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
  const bool driverAskedFor = Set("SDL_VIDEODRIVER");
  if (!driverAskedFor) {
    const std::string drivers = DesktopDrivers();
    if (drivers.empty() || !SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str())) {
      m_error = kNoDisplay;
      return;
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    m_error = driverAskedFor ? std::string("cannot open the display: ") + SDL_GetError() : kNoDisplay;
    return;
  }
  m_ok = true;
}

SdlDesktop::~SdlDesktop() {
  if (m_ok) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}
