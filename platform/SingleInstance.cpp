#include "platform/SingleInstance.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>

namespace {
constexpr const char* kSelection = "CHRISTMAS_PEGS_RUNNING";
constexpr const char* kPidProperty = "_NET_WM_PID";

// The process id a window carries in _NET_WM_PID; 0 when none.
unsigned long PidOf(::Display* display, ::Window window) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  unsigned long pid = 0;
  if (XGetWindowProperty(display, window, XInternAtom(display, kPidProperty, False), 0, 1, False, XA_CARDINAL,
                         &type, &format, &count, &left, &data) == Success &&
      data != nullptr && format == 32 && count == 1) {
    pid = reinterpret_cast<unsigned long*>(data)[0];
  }
  if (data != nullptr) XFree(data);
  return pid;
}

// Asks the window manager to activate `window`, as a pager would: that also
// restores a minimised window.
void Activate(::Display* display, ::Window window) {
  const ::Window root = DefaultRootWindow(display);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // from a pager: obeyed, not taken as focus stealing
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XSync(display, False);
}

// The running game's top-level windows: those in the window manager's
// client list whose process is the selection owner's.
void ActivateWindowsOf(::Display* display, unsigned long pid) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* data = nullptr;
  const ::Window root = DefaultRootWindow(display);
  if (XGetWindowProperty(display, root, XInternAtom(display, "_NET_CLIENT_LIST", False), 0, 1024, False, XA_WINDOW,
                         &type, &format, &count, &left, &data) == Success &&
      data != nullptr && format == 32) {
    const auto* windows = reinterpret_cast<const unsigned long*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      if (PidOf(display, windows[i]) == pid) Activate(display, windows[i]);
    }
  }
  if (data != nullptr) XFree(data);
}
}  // namespace

SingleInstance::SingleInstance() {
  m_display = XOpenDisplay(nullptr);
  if (m_display == nullptr) return;
  const ::Window owner = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
  const unsigned long pid = static_cast<unsigned long>(getpid());
  XChangeProperty(m_display, owner, XInternAtom(m_display, kPidProperty, False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  XSetSelectionOwner(m_display, XInternAtom(m_display, kSelection, False), owner, CurrentTime);
  XFlush(m_display);
}

SingleInstance::~SingleInstance() {
  if (m_display != nullptr) XCloseDisplay(m_display);
}

bool SingleInstance::BringRunningGameToFront() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') return false;
  ::Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  const ::Window owner = XGetSelectionOwner(display, XInternAtom(display, kSelection, False));
  const bool running = owner != None;
  if (running) ActivateWindowsOf(display, PidOf(display, owner));
  XCloseDisplay(display);
  return running;
}
