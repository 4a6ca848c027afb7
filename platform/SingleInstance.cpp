#include "platform/SingleInstance.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

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

// Where the lock of the Wayland display lies when there is no X display to
// claim: XDG_RUNTIME_DIR/christmas-pegs-NAME.lock. Empty when the game runs
// on X, or nothing says where.
std::string WaylandLockPath() {
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if ((x != nullptr && *x != '\0') || wayland == nullptr || *wayland == '\0' || runtime == nullptr ||
      *runtime == '\0') {
    return {};
  }
  std::string name = wayland;  // may be a path of its own
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return std::string(runtime) + "/christmas-pegs-" + name + ".lock";
}

// Opens the lock and takes it; -1 when it is held already or cannot be had.
int TakeLock(const std::string& path) {
  const int lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) return -1;
  if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
    close(lock);
    return -1;
  }
  return lock;
}
}  // namespace

SingleInstance::SingleInstance() {
  const std::string lockPath = WaylandLockPath();
  if (!lockPath.empty()) {
    m_lock = TakeLock(lockPath);
    return;
  }
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
  if (m_lock >= 0) close(m_lock);
}

bool SingleInstance::BringRunningGameToFront() {
  const std::string lockPath = WaylandLockPath();
  if (!lockPath.empty()) {
    // Held by a running game when another holds it; a lock that cannot be
    // opened at all (no such file, a runtime folder not ours) says nothing.
    const int lock = open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (lock < 0) return false;
    const bool held = flock(lock, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(lock);
    return held;
  }
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
