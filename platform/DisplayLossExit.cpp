#include "platform/DisplayLossExit.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include "platform/Diagnostics.h"

namespace {
// Called by Xlib with its connection dead and its lock held: only
// async-signal-safe calls, and no return (Xlib would exit() after it).
int LeaveAtOnce(Display*) {
  Diagnostics::Error("lost the connection to the display");
  _exit(1);
}
}  // namespace

DisplayLossExit::DisplayLossExit() : m_previous(XSetIOErrorHandler(LeaveAtOnce)) {}

DisplayLossExit::~DisplayLossExit() { XSetIOErrorHandler(m_previous); }
