#pragma once

// Turns SIGHUP (the terminal or session went away) into a close request, as
// SDL already does for SIGINT and SIGTERM, so the desktop mode is given back.
class HangupWatch {
 public:
  HangupWatch();
  ~HangupWatch();
  HangupWatch(const HangupWatch&) = delete;
  HangupWatch& operator=(const HangupWatch&) = delete;

  // True once after each SIGHUP.
  bool Take();
};
