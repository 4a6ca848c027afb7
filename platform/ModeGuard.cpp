#include "platform/ModeGuard.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/Diagnostics.h"

namespace {
// The bytes on the channel. Watcher to game: whether it holds a record.
// Game to watcher: the game ends normally and has restored the mode itself.
constexpr char kRecorded = 'R';
constexpr char kNothingRecorded = 'N';
constexpr char kEndedNormally = 'Q';

// The watcher works on file descriptor 3 once it has closed everything else.
constexpr int kWatcherChannel = 3;

// How long the game's end waits for the watcher to leave before it stops
// caring; the watcher leaves on its own anyway.
constexpr int kReapTimeoutMs = 1000;

struct CrtcSetting {
  RRCrtc crtc = 0;
  int x = 0;
  int y = 0;
  RRMode mode = 0;
  Rotation rotation = RR_Rotate_0;
  std::vector<RROutput> outputs;
};

struct ScreenSetting {
  int width = 0;
  int height = 0;
  int widthMm = 0;
  int heightMm = 0;
  std::vector<CrtcSetting> crtcs;
};

long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000L + now.tv_nsec / 1000000L;
}

// Waits for one byte on `fd`, at most until `deadlineMs`. Returns 1 with the
// byte, 0 at end of stream, -1 on timeout or error.
int ReceiveByte(int fd, long deadlineMs, char& byte) {
  for (;;) {
    pollfd entry{fd, POLLIN, 0};
    const long left = deadlineMs - MonotonicMs();
    if (left < 0) return -1;
    const int ready = poll(&entry, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return -1;
    const ssize_t got = recv(fd, &byte, 1, 0);
    if (got < 0 && errno == EINTR) continue;
    return got < 0 ? -1 : static_cast<int>(got);
  }
}

// Protocol errors (a CRTC gone, a mode the server refuses) must not end the
// watcher through Xlib's default handler, which calls exit().
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The X server is gone: there is nothing left to restore.
int LeaveOnXIoError(Display*) { _exit(0); }

bool Record(Display* display, ScreenSetting& setting) {
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
      (major == 1 && minor < 2)) {
    return false;
  }
  const int screen = DefaultScreen(display);
  // The "current" query reads the server's state without probing outputs,
  // which on real hardware can take a second.
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
  if (resources == nullptr) return false;
  setting.width = DisplayWidth(display, screen);
  setting.height = DisplayHeight(display, screen);
  setting.widthMm = DisplayWidthMM(display, screen);
  setting.heightMm = DisplayHeightMM(display, screen);
  for (int i = 0; i < resources->ncrtc; ++i) {
    XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
    if (info == nullptr) continue;
    setting.crtcs.push_back({resources->crtcs[i], info->x, info->y, info->mode, info->rotation,
                             std::vector<RROutput>(info->outputs, info->outputs + info->noutput)});
    XRRFreeCrtcInfo(info);
  }
  XRRFreeScreenResources(resources);
  return !setting.crtcs.empty();
}

bool SameAs(const CrtcSetting& saved, const XRRCrtcInfo& now) {
  return saved.x == now.x && saved.y == now.y && saved.mode == now.mode && saved.rotation == now.rotation &&
         saved.outputs == std::vector<RROutput>(now.outputs, now.outputs + now.noutput);
}

// Puts the recorded configuration back where it differs; true when anything
// had to change. CRTCs that differ are switched off first, so that none
// reaches past the screen while its size changes, and then set as recorded.
bool Restore(Display* display, const ScreenSetting& saved) {
  const Window root = DefaultRootWindow(display);
  XGrabServer(display);
  bool changed = false;
  if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root)) {
    std::vector<CrtcSetting> differing;
    for (const CrtcSetting& crtc : saved.crtcs) {
      XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, crtc.crtc);
      if (info == nullptr) continue;
      if (!SameAs(crtc, *info)) differing.push_back(crtc);
      XRRFreeCrtcInfo(info);
    }
    for (const CrtcSetting& crtc : differing) {
      XRRSetCrtcConfig(display, resources, crtc.crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
    }
    Window ignoredRoot = 0;
    int ignoredX = 0;
    int ignoredY = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned ignoredBorder = 0;
    unsigned ignoredDepth = 0;
    XGetGeometry(display, root, &ignoredRoot, &ignoredX, &ignoredY, &width, &height, &ignoredBorder,
                 &ignoredDepth);
    if (static_cast<int>(width) != saved.width || static_cast<int>(height) != saved.height) {
      XRRSetScreenSize(display, root, saved.width, saved.height, saved.widthMm, saved.heightMm);
      changed = true;
    }
    for (CrtcSetting& crtc : differing) {
      XRRSetCrtcConfig(display, resources, crtc.crtc, CurrentTime, crtc.x, crtc.y, crtc.mode, crtc.rotation,
                       crtc.outputs.data(), static_cast<int>(crtc.outputs.size()));
      changed = true;
    }
    XRRFreeScreenResources(resources);
  }
  XUngrabServer(display);
  XSync(display, False);
  return changed;
}

// Leaves only stderr and the channel open: the game's other descriptors
// (a terminal, pipes a caller waits on) are none of the watcher's business.
void KeepOnlyChannel(int channel, int gameEnd) {
  close(gameEnd);
  if (channel != kWatcherChannel) dup2(channel, kWatcherChannel);
  close_range(kWatcherChannel + 1, ~0U, 0);
  const int null = open("/dev/null", O_RDWR);
  if (null >= 0) {
    if (null != STDIN_FILENO) dup2(null, STDIN_FILENO);
    if (null != STDOUT_FILENO) dup2(null, STDOUT_FILENO);
    if (null > kWatcherChannel) close(null);
  }
}

[[noreturn]] void Watch(int channel, int gameEnd) {
  // The terminal's signals reach the whole process group; the game handles
  // them and restores the mode itself, and the watcher must outlive it.
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(sig, SIG_IGN);
  KeepOnlyChannel(channel, gameEnd);
  prctl(PR_SET_NAME, "pegs-modeguard", 0, 0, 0);
  XSetErrorHandler(IgnoreXError);
  XSetIOErrorHandler(LeaveOnXIoError);

  ScreenSetting saved;
  Display* display = XOpenDisplay(nullptr);
  bool recorded = display != nullptr && Record(display, saved);
  const char report = recorded ? kRecorded : kNothingRecorded;
  // A game that stopped waiting may have changed the mode already: a record
  // made after that would be wrong, so it is dropped.
  if (send(kWatcherChannel, &report, 1, MSG_NOSIGNAL) != 1) recorded = false;
  if (!recorded && display != nullptr) {
    XCloseDisplay(display);
    display = nullptr;
  }

  char byte = 0;
  ssize_t got = 0;
  do {
    got = recv(kWatcherChannel, &byte, 1, 0);
  } while (got < 0 && errno == EINTR);
  if (got == 1 && byte == kEndedNormally) _exit(0);
  if (recorded && Restore(display, saved)) {
    Diagnostics::Error("the game ended abnormally; the screen's mode has been put back");
  }
  _exit(0);
}
}  // namespace

ModeGuard::ModeGuard() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return;
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  const pid_t pid = fork();
  if (pid == 0) Watch(ends[1], ends[0]);
  close(ends[1]);
  if (pid < 0) {
    close(ends[0]);
    return;
  }
  m_watcher = pid;
  m_channel = ends[0];
}

ModeGuard::~ModeGuard() {
  if (m_channel < 0) return;
  send(m_channel, &kEndedNormally, 1, MSG_NOSIGNAL);
  // Once the game has stopped reading, its end reads as finished at once
  // and cannot tell when the watcher leaves: then only a quick look.
  bool gone = false;
  if (m_listening) {
    const long deadline = MonotonicMs() + kReapTimeoutMs;
    char byte = 0;
    int got = 0;
    while ((got = ReceiveByte(m_channel, deadline, byte)) == 1) {
    }
    gone = got == 0;
  }
  close(m_channel);
  int status = 0;
  waitpid(m_watcher, &status, gone ? 0 : WNOHANG);
}

bool ModeGuard::AwaitRecord(int timeoutMs) {
  if (m_channel < 0 || m_awaited) return m_recorded;
  char byte = 0;
  const int got = ReceiveByte(m_channel, MonotonicMs() + timeoutMs, byte);
  m_recorded = got == 1 && byte == kRecorded;
  if (got < 0) {
    shutdown(m_channel, SHUT_RD);
    m_listening = false;
  }
  m_awaited = true;
  return m_recorded;
}
