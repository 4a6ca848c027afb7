#include "platform/DisplayLossExit.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstring>

namespace {
constexpr const char* kMessage = "christmas-pegs: lost the connection to the display\n";

// Called by Xlib with its connection dead and its lock held: only
// async-signal-safe calls, and no return (Xlib would exit() after it).
int LeaveAtOnce(Display*) {
  const ssize_t ignored = write(STDERR_FILENO, kMessage, std::strlen(kMessage));
  (void)ignored;
  _exit(1);
}
}  // namespace

DisplayLossExit::DisplayLossExit() : m_previous(XSetIOErrorHandler(LeaveAtOnce)) {}

DisplayLossExit::~DisplayLossExit() { XSetIOErrorHandler(m_previous); }
