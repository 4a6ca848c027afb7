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
