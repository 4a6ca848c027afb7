#include <cstdio>

#include "platform/SdlDesktop.h"
#include "shell/GameApp.h"

int main() {
  SdlDesktop desktop;
  if (!desktop.Ok()) {
    std::fprintf(stderr, "christmas-pegs: cannot open the display: %s\n", desktop.Error().c_str());
    return 1;
  }
  GameApp app(desktop.Get());
  return app.Main();
}
