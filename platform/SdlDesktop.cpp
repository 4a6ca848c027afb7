#include "platform/SdlDesktop.h"

#include <SDL.h>
#include <unistd.h>

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

// Why the displays the environment names could not be opened, naming them.
std::string CannotOpen() {
  const char* error = SDL_GetError();
  if (Set("DISPLAY")) {
    const std::string display = SDL_getenv("DISPLAY");
    // A server that is there but refuses the connection (no authorisation)
    // differs from none at all; its socket tells them apart for a local one.
    std::string number = display.substr(display.rfind(':') + 1);
    number = number.substr(0, number.find('.'));
    const bool local = display.rfind(':', 0) == 0 || display.rfind("unix:", 0) == 0;
    const std::string socket = "/tmp/.X11-unix/X" + number;
    if (local && access(socket.c_str(), F_OK) == 0) {
      return "cannot open display " + display + ": the X server refused the connection (not authorised?)";
    }
    return "cannot open display " + display + ": " + (*error != '\0' ? error : "no X server answers");
  }
  return std::string("cannot open the Wayland display ") + SDL_getenv("WAYLAND_DISPLAY") + ": " + error;
}
}  // namespace

SdlDesktop::SdlDesktop() {
  // A class the user set in the environment is left as it is.
  SDL_setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
  SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
  // SDL gives the desktop's mode back and minimises a fullscreen window
  // that loses the focus before the game hears of the loss; the game's
  // window model takes that minimise as the desktop's own. It stays on
  // (but for the moment of the game's own window change, see
  // NativeWindow::KeepThroughFocusLoss): without it i3, which refuses to
  // minimise, hands the focus straight back to a window that is still
  // fullscreen, and the window the player chose stays hidden behind the
  // game.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1");
  const bool driverAskedFor = Set("SDL_VIDEODRIVER");
  if (!driverAskedFor) {
    const std::string drivers = DesktopDrivers();
    if (drivers.empty() || !SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str())) {
      m_error = kNoDisplay;
      return;
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    m_error = driverAskedFor ? std::string("cannot open the display: ") + SDL_GetError() : CannotOpen();
    return;
  }
  m_xErrors.emplace();
  // Without SDL's game-controller support the game is played as ever, with
  // the mouse and the keys.
  static_cast<void>(m_pads.Open());
  m_ok = true;
}

SdlDesktop::~SdlDesktop() {
  m_xErrors.reset();
  if (m_ok) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}
