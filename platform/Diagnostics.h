#pragma once

#include <string_view>

// Where the program speaks to its user: standard error, nowhere else.
// Every message goes out in one write(2), so lines from the game and from
// its watcher process never mix, and every call is async-signal-safe (no
// allocation, no stdio, no locks): signal handlers and Xlib's I/O-error
// handler use the same calls as everyone else.
class Diagnostics {
 public:
  // One line of the program's own: "christmas-pegs: <message>\n".
  static void Error(std::string_view message);
  // A text that carries its own form, written exactly as it stands.
  static void Text(std::string_view text);
  // A text for a developer's eyes: it goes to the trace when one is asked
  // for (CHRISTMAS_PEGS_TRACE names a file, or "-" for standard error), and
  // nowhere otherwise. Each text is one appended write, so it never splits
  // a trace line.
  static void Trace(std::string_view text);
};
