#pragma once

#include <memory>

#include "platform/Application.h"
#include "shell/GameWindow.h"

// The application: creates the game window and runs the frame loop.
class GameApp : public Application {
 public:
  // The game window starts fullscreen, or in its captioned window.
  explicit GameApp(Desktop& desktop, bool fullscreen = true) : Application(desktop), m_fullscreen(fullscreen) {}
  GameWindow* Window() const { return m_pGameWindow.get(); }

 protected:
  bool InitInstance() override;
  // Dispatches every waiting message, one per turn; runs a frame whenever
  // nothing waits. Never sleeps and never blocks.
  int Run() override;
  int ExitInstance() override;

 private:
  bool m_fullscreen;
  std::unique_ptr<GameWindow> m_pGameWindow;
};
