#include "shell/GameApp.h"

#include <cstdio>

bool GameApp::InitInstance() {
  m_pGameWindow = std::make_unique<GameWindow>(m_desktop, m_fullscreen);
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
      m_pGameWindow->StepFrame();
    } else if (!PumpMessage()) {
      return ExitInstance();
    }
  }
}

int GameApp::ExitInstance() {
  m_mainWindow = nullptr;
  m_pGameWindow.reset();
  return Application::ExitInstance();
}
