#pragma once

// The three standard descriptors as the game needs them. A launcher may
// start the game with any of them closed; the next file the game (or a
// library) opened would then take that number, and text meant for standard
// error would land in, say, the D-Bus socket.
class StandardStreams {
 public:
  // Opens each of descriptors 0 to 2 that is closed on /dev/null, and makes
  // a write to a reader that has gone away (a closed terminal, a pipe) fail
  // instead of ending the game with SIGPIPE. Called first thing in main.
  static void OpenClosed();
};
