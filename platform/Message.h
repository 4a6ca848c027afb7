#pragma once

// Messages the window receives between frames. The event source turns
// desktop events into these; the game and tests can also post them.
enum class MessageKind {
  Size,            // a: client width, b: client height
  Close,           // a close request (Escape, window manager, SIGINT/SIGTERM)
  SystemCommand,   // a: a SystemCommand value
  KeyDown,         // a: a Key value
  FocusGained,
  FocusLost,
  LeftButtonDown,
  LeftButtonUp,
  Quit,            // a: exit code; ends the application's run loop
};

enum class Key { Other = 0, Escape, F7, F9 };

enum class SystemCommand { Other = 0, Minimize, Close, ScreenSave, MonitorPower };

struct Message {
  MessageKind kind = MessageKind::Quit;
  int a = 0;
  int b = 0;
};
