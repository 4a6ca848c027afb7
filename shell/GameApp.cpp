#include "shell/GameApp.h"

#include <string>

#include "platform/Diagnostics.h"

bool GameApp::InitInstance() {
  m_pGameWindow = std::make_unique<GameWindow>(m_desktop, m_fullscreen);
  m_mainWindow = m_pGameWindow.get();
  if (!m_pGameWindow->CreateMainWindow()) {
    Diagnostics::Error(std::string("cannot open the game window with an OpenGL context: ") +
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
