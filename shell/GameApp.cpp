#include "shell/GameApp.h"

#include <cstdio>

bool GameApp::InitInstance() {
  m_pGameWindow = std::make_unique<GameWindow>(m_desktop);
  m_mainWindow = m_pGameWindow.get();
  if (!m_pGameWindow->CreateMainWindow()) {
    std::fprintf(stderr, "christmas-pegs: cannot open the game window with an OpenGL context: %s\n",
                 m_desktop.window.LastError());
    return false;
  }
  return true;
}

int GameApp::Run() {
  for (;;) {
    if (!PeekMessage()) {
      if (m_desktop.window.Viewable()) {
        m_pGameWindow->StepFrame();
      } else {
        Rest();
      }
    } else if (!PumpMessage()) {
      return ExitInstance();
    }
  }
}

void GameApp::Rest() {
  // Time, the intro's clock and the music go on; the frames nobody would see
  // are not drawn.
  std::uint32_t sinceStep = m_desktop.clock.Milliseconds() - m_lastRestStep;
  if (sinceStep >= kRestStepMs) {
    m_pGameWindow->RestFrame();
    m_lastRestStep = m_desktop.clock.Milliseconds();
    sinceStep = 0;
  }
  WaitMessage(kRestStepMs - sinceStep);
}

int GameApp::ExitInstance() {
  m_mainWindow = nullptr;
  m_pGameWindow.reset();
  return Application::ExitInstance();
}
