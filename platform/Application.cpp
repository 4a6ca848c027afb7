#include "platform/Application.h"

#include "platform/Window.h"

int Application::Main() {
  if (!InitInstance()) {
    ExitInstance();
    return 1;
  }
  return Run();
}

bool Application::PeekMessage() { return !m_desktop.queue.Empty() || m_desktop.events.Pending(); }

void Application::WaitMessage(std::uint32_t milliseconds) {
  if (m_desktop.queue.Empty()) m_desktop.events.Wait(milliseconds);
}

bool Application::PumpMessage() {
  if (m_desktop.queue.Empty()) m_desktop.events.TranslateOne(m_desktop.queue);
  Message message;
  if (!m_desktop.queue.Take(message)) return true;
  if (message.kind == MessageKind::Quit) {
    m_exitCode = message.a;
    return false;
  }
  if (m_mainWindow != nullptr) m_mainWindow->Dispatch(message);
  return true;
}
