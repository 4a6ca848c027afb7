#include <cstdio>

#include "platform/Diagnostics.h"
#include "platform/ModeGuard.h"
#include "platform/SdlDesktop.h"
#include "shell/CommandLine.h"
#include "shell/GameApp.h"

namespace {
// How long the game waits, at most, for the mode guard to record the
// screen's configuration. It records while SDL starts, so normally the wait
// is over before it begins.
constexpr int kModeRecordTimeoutMs = 3000;
}  // namespace

int main(int argc, char** argv) {
  const CommandLine commandLine(argc, argv);
  if (!commandLine.Play()) {
    std::fputs(commandLine.Output().c_str(), stdout);
    Diagnostics::Text(commandLine.Errors());
    return commandLine.ExitCode();
  }
  // First of all, while the process is single-threaded: the guard forks.
  // It is destroyed last, after the game has given the desktop mode back.
  ModeGuard guard;
  SdlDesktop desktop;
  if (!desktop.Ok()) {
    Diagnostics::Error(desktop.Error());
    return 1;
  }
  guard.AwaitRecord(kModeRecordTimeoutMs);
  GameApp app(desktop.Get(), !commandLine.Windowed());
  return app.Main();
}
