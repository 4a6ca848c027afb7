#pragma once

// Mouse and keyboard as the frame step polls them.
class InputDevice {
 public:
  virtual ~InputDevice() = default;
  // The pointer's displacement in pixels since the last read (x right, y
  // down). Zero while the game window does not have input focus.
  virtual void ReadMouseDelta(int& dx, int& dy) = 0;
  // Whether the last read found the pointer captured by the game.
  virtual bool PointerCaptured() const = 0;
  // True when Escape is down now, or was pressed since the last poll.
  virtual bool PollEscape() = 0;
  virtual void ShowSystemCursor(bool show) = 0;
};
