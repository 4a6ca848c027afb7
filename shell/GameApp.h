#pragma once

#include <cstdint>
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
  // nothing waits. While the window cannot be seen it rests instead.
  int Run() override;
  int ExitInstance() override;

 private:
  bool m_fullscreen;

  // At most this often a frame is stepped while the window cannot be seen.
  static constexpr std::uint32_t kRestStepMs = 100;

  // Steps the frame without drawing when the last rest step is due, then
  // waits for events until the next one.
  void Rest();

  std::unique_ptr<GameWindow> m_pGameWindow;
  std::uint32_t m_lastRestStep = 0;  // milliseconds clock
};
