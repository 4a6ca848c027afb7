#pragma once

// While one lives, standard error goes to /dev/null: for calls into
// libraries that print their own noise there (ALSA's "ALSA lib ... Unknown
// PCM default" when there is no sound device), which the game then says
// once in its own words. Standard error comes back when it goes.
class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int m_saved = -1;
};
