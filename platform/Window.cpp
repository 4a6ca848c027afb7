#include "platform/Window.h"

Window::~Window() { Destroy(); }

bool Window::Create(const char* caption, WindowStyle style, const WindowRect& rect) {
  if (!m_desktop.window.Open(caption, style == WindowStyle::Captioned, rect)) return false;
  if (OnCreate() == -1) {
    Destroy();
    return false;
  }
  int width = 0;
  int height = 0;
  m_desktop.window.ClientSize(width, height);
  Dispatch({MessageKind::Size, width, height});
  return true;
}

void Window::Focus() {
  m_desktop.window.TakeFocus();
  // Taking the focus tells the window at once, as the desktop would.
  Dispatch({MessageKind::FocusGained, 0, 0});
}

void Window::Move(const WindowRect& rect) { m_desktop.window.Place(rect); }

void Window::SetStyle(WindowStyle style) { m_desktop.window.SetCaptioned(style == WindowStyle::Captioned); }

WindowStyle Window::Style() const {
  return m_desktop.window.Captioned() ? WindowStyle::Captioned : WindowStyle::Popup;
}

void Window::Destroy() {
  if (m_desktop.window.IsOpen()) m_desktop.window.Destroy();
}

void Window::Dispatch(const Message& message) {
  const Message outer = m_current;
  m_current = message;
  switch (message.kind) {
    case MessageKind::Size: OnSize(message.a, message.b); break;
    case MessageKind::Close: OnClose(); break;
    case MessageKind::SystemCommand: OnSystemCommand(static_cast<SystemCommand>(message.a)); break;
    case MessageKind::KeyDown: OnKeyDown(static_cast<Key>(message.a)); break;
    case MessageKind::KeyUp: OnKeyUp(static_cast<Key>(message.a)); break;
    case MessageKind::FocusGained: OnFocusGained(); break;
    case MessageKind::FocusLost: OnFocusLost(); break;
    case MessageKind::Minimized: OnMinimized(); break;
    case MessageKind::LeftButtonDown: OnLeftButtonDown(); break;
    case MessageKind::LeftButtonUp: OnLeftButtonUp(); break;
    case MessageKind::PadRemoved: OnPadRemoved(); break;
    case MessageKind::Quit: break;
  }
  m_current = outer;
}

void Window::OnSize(int, int) { DefaultProcessing(); }
void Window::OnClose() { DefaultProcessing(); }
void Window::OnSystemCommand(SystemCommand) { DefaultProcessing(); }
void Window::OnKeyDown(Key) { DefaultProcessing(); }
void Window::OnKeyUp(Key) { DefaultProcessing(); }
void Window::OnFocusGained() { DefaultProcessing(); }
void Window::OnFocusLost() { DefaultProcessing(); }
void Window::OnMinimized() { DefaultProcessing(); }
void Window::OnLeftButtonDown() { DefaultProcessing(); }
void Window::OnLeftButtonUp() { DefaultProcessing(); }
void Window::OnPadRemoved() { DefaultProcessing(); }

void Window::DefaultProcessing() {
  switch (m_current.kind) {
    case MessageKind::Close:
      Destroy();
      break;
    case MessageKind::SystemCommand:
      if (m_current.a == static_cast<int>(SystemCommand::Minimize)) ShowMinimized();
      if (m_current.a == static_cast<int>(SystemCommand::Close)) m_desktop.queue.Post({MessageKind::Close, 0, 0});
      break;
    default:
      break;
  }
}
