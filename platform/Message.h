#pragma once

// Messages the window receives between frames. The event source turns
// desktop events into these; the game and tests can also post them.
enum class MessageKind {
  Size,            // a: client width, b: client height
  Close,           // a close request (Escape, window manager, SIGINT/SIGTERM)
  SystemCommand,   // a: a SystemCommand value
  KeyDown,         // a: a Key value
  KeyUp,           // a: a Key value
  FocusGained,
  FocusLost,
  Minimized,       // the desktop put the window away
  LeftButtonDown,
  LeftButtonUp,
  PadRemoved,      // a game pad was pulled out
  Quit,            // a: exit code; ends the application's run loop
};

// Left to Down come from the cursor keys, the keys at W A S D's place, and a
// game pad's d-pad and left stick; Select from Space, Return and a pad's A;
// Cancel, Start and Back from a pad's B, Start and Back.
enum class Key { Other = 0, Escape, F7, F9, Left, Right, Up, Down, Select, Cancel, Start, Back };

enum class SystemCommand { Other = 0, Minimize, Close, ScreenSave, MonitorPower };

struct Message {
  MessageKind kind = MessageKind::Quit;
  int a = 0;
  int b = 0;
};
