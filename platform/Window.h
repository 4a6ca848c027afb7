#pragma once

#include "platform/Desktop.h"
#include "platform/Message.h"

enum class WindowStyle { Popup, Captioned };

// Base of the game window: receives the messages the run loop dispatches as
// virtual handlers; each handler's default is DefaultProcessing().
class Window {
 public:
  explicit Window(Desktop& desktop) : m_desktop(desktop) {}
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Opens the native window hidden, runs OnCreate and then OnSize with the
  // client size. False when the window cannot be opened or OnCreate fails.
  bool Create(const char* caption, WindowStyle style, const WindowRect& rect);
  // The picture the desktop shows for the window; none when the file is missing.
  void SetIcon(const char* path) { m_desktop.window.SetIcon(path); }
  void Show() { m_desktop.window.Show(); }
  void BringToFront() { m_desktop.window.Raise(); }
  void Focus();
  void Move(const WindowRect& rect);
  void SetStyle(WindowStyle style);
  WindowStyle Style() const;
  void ShowMinimized() { m_desktop.window.Minimize(); }
  bool IsMinimized() const { return m_desktop.window.Minimized(); }
  bool IsOpen() const { return m_desktop.window.IsOpen(); }
  void Destroy();

  void Dispatch(const Message& message);

 protected:
  virtual int OnCreate() { return 0; }
  virtual void OnSize(int width, int height);
  virtual void OnClose();
  virtual void OnSystemCommand(SystemCommand command);
  virtual void OnKeyDown(Key key);
  virtual void OnKeyUp(Key key);
  virtual void OnFocusGained();
  virtual void OnFocusLost();
  virtual void OnMinimized();
  virtual void OnLeftButtonDown();
  virtual void OnLeftButtonUp();
  virtual void OnPadRemoved();
  // The default processing of the message being handled.
  void DefaultProcessing();

  Desktop& m_desktop;

 private:
  Message m_current{};
};
