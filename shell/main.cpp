#include <cstdio>

#include "platform/Diagnostics.h"
#include "platform/ModeGuard.h"
#include "platform/SdlDesktop.h"
#include "platform/SingleInstance.h"
#include "platform/StandardStreams.h"
#include "shell/CommandLine.h"
#include "shell/GameApp.h"

namespace {
// How long the game waits, at most, for the mode guard to record the
// screen's configuration. It records while SDL starts, so normally the wait
// is over before it begins.
constexpr int kModeRecordTimeoutMs = 3000;
}  // namespace

int main(int argc, char** argv) {
  StandardStreams::OpenClosed();
  const CommandLine commandLine(argc, argv);
  if (!commandLine.Play()) {
    std::fputs(commandLine.Output().c_str(), stdout);
    Diagnostics::Text(commandLine.Errors());
    return commandLine.ExitCode();
  }
  // One game a display: a second start brings the running one to the front
  // and leaves before anything looks at the screen's mode, which is the
  // running game's now.
  if (SingleInstance::BringRunningGameToFront()) return 0;
  // First of all, while the process is single-threaded: the guard forks.
  // It is destroyed last, after the game has given the desktop mode back.
  ModeGuard guard;
  const SingleInstance claim;
  SdlDesktop desktop;
  if (!desktop.Ok()) {
    Diagnostics::Error(desktop.Error());
    return 1;
  }
  guard.AwaitRecord(kModeRecordTimeoutMs);
  GameApp app(desktop.Get(), !commandLine.Windowed());
  return app.Main();
}
