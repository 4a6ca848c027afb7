#pragma once

#include <cstdint>

#include "platform/Desktop.h"

// Base of the game application: instance initialisation, a run loop and
// instance exit. Main() runs the three in turn and returns the exit code.
class Application {
 public:
  explicit Application(Desktop& desktop) : m_desktop(desktop) {}
  virtual ~Application() = default;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  int Main();

 protected:
  // False when the application cannot start; Main then returns 1.
  virtual bool InitInstance() = 0;
  virtual int Run() = 0;
  // Returns the exit code carried by the quit message.
  virtual int ExitInstance() { return m_exitCode; }

  // True when a message or a desktop event waits; removes nothing.
  bool PeekMessage();
  // Returns when a message or a desktop event waits, or after `milliseconds`.
  void WaitMessage(std::uint32_t milliseconds);
  // Takes one message (translating one desktop event first when the queue is
  // empty) and dispatches it to the main window. False on the quit message.
  bool PumpMessage();

  Desktop& m_desktop;
  class Window* m_mainWindow = nullptr;

 private:
  int m_exitCode = 0;
};
