#pragma once

#include <sys/types.h>

// Gives the desktop its screen configuration back when the game dies without
// doing so itself: a crash, an abort, SIGKILL.
//
// Made first thing in main, while the process is still single-threaded, it
// forks a small watcher process. The watcher connects to the X display named
// by DISPLAY, records the XRandR configuration in force (screen size, and per
// CRTC its mode, position, rotation and outputs), reports that on the channel
// to the game, then sleeps on the channel. The destructor sends one byte,
// "the game has given the mode back itself", and the watcher leaves. When the
// channel closes without that byte, the game has died: the watcher puts the
// recorded configuration back over its own connection and leaves.
//
// Without DISPLAY no watcher is made. Without a reachable X server or XRandR
// the watcher records nothing and on the game's end just leaves. The watcher
// ignores the terminal's signals (the game handles those and restores the
// mode itself), keeps only stderr and its channel open, and never touches SDL.
class ModeGuard {
 public:
  ModeGuard();
  // Reports the normal end and reaps the watcher. Make it outlive everything
  // that changes or restores the display mode.
  ~ModeGuard();
  ModeGuard(const ModeGuard&) = delete;
  ModeGuard& operator=(const ModeGuard&) = delete;

  // Waits, at most timeoutMs, until the watcher has recorded the screen's
  // configuration or found it cannot. Call it before the first mode change;
  // a record that comes later than this wait is thrown away by the watcher,
  // since it might already show the game's mode. True when a record exists.
  bool AwaitRecord(int timeoutMs);

  // The watcher's process id, 0 when there is none.
  pid_t WatcherPid() const { return m_watcher; }

 private:
  pid_t m_watcher = 0;
  int m_channel = -1;  // the game's end of the socket pair; -1 without a watcher
  bool m_awaited = false;
  bool m_recorded = false;
  bool m_listening = true;  // false once the game gave up waiting for the record
};
