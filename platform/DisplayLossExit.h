#pragma once

struct _XDisplay;

// Ends the game at once when its connection to the X display breaks (the X
// server was killed or shut down): one line on stderr, exit code 1. Xlib's
// own handler would call exit(), whose atexit handlers and static
// destructors could talk to the dead display again or hang in a driver; with
// the display gone there is no mode left to restore either.
class DisplayLossExit {
 public:
  // Installs the handler; the previous one comes back on destruction.
  DisplayLossExit();
  ~DisplayLossExit();
  DisplayLossExit(const DisplayLossExit&) = delete;
  DisplayLossExit& operator=(const DisplayLossExit&) = delete;

 private:
  using Handler = int (*)(_XDisplay*);
  Handler m_previous = nullptr;
};
