#include "platform/SdlWindow.h"

#include <cstdio>
#include <cstring>

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xrandr.h>
#include "platform/Diagnostics.h"
#include "platform/WindowIcon.h"

namespace {
// What the game asked of the window manager, for the trace: a window that
// does not look right afterwards shows which request went wrong.
void TraceRequest(const char* what, bool shown) {
  char line[96];
  std::snprintf(line, sizeof line, "window %s, %s\n", what, shown ? "shown" : "not shown");
  Diagnostics::Trace(line);
}

// Xwayland names its outputs XWAYLAND0, XWAYLAND1, ...
bool IsXwayland(Display* display) {
  int eventBase = 0;
  int errorBase = 0;
  if (XRRQueryExtension(display, &eventBase, &errorBase) == 0) return false;
  XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  if (resources == nullptr) return false;
  bool xwayland = false;
  for (int i = 0; i < resources->noutput && !xwayland; ++i) {
    XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
    if (output == nullptr) continue;
    xwayland = std::strncmp(output->name, "XWAYLAND", 8) == 0;
    XRRFreeOutputInfo(output);
  }
  XRRFreeScreenResources(resources);
  return xwayland;
}
}  // namespace

SdlWindow::~SdlWindow() {
  if (m_window != nullptr) SDL_DestroyWindow(m_window);
}

void SdlWindow::Fail() { m_error = SDL_GetError(); }

bool SdlWindow::Open(const char* caption, bool captioned, const WindowRect& rect) {
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (!captioned) flags |= SDL_WINDOW_BORDERLESS;
  // A Wayland compositor keeps a window that is not resizable at its size
  // even when it makes it fullscreen or tiles it (sway: the captioned
  // 590 x 430 window stayed so after F9). The picture is fitted into
  // whatever size the window gets, so there it may take any.
  // On an output scaled by 2 the drawable has the output's pixels, so
  // that the picture is drawn sharp rather than scaled up.
  if (SizeIsFinal()) flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  // A window that goes fullscreen is opened centred, not at the screen's
  // origin. When it is shown, SDL asks the window manager for the fullscreen
  // state and waits, up to 100 ms, until the window's geometry changes;
  // opened where the fullscreen window will be, nothing would change and
  // every start would wait the whole time.
  const bool goesFullscreen = m_pendingMode || m_pendingFill;
  const int x = goesFullscreen ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : rect.x;
  const int y = goesFullscreen ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : rect.y;
  m_window = SDL_CreateWindow(caption, x, y, rect.width, rect.height, flags);
  if (m_window == nullptr) {
    Fail();
    return false;
  }
  m_open = true;
  SDL_SysWMinfo info;
  m_onXwayland = OnX11(info) && IsXwayland(info.info.x11.display);
  if (m_pendingMode) {
    const SDL_DisplayMode mode = *m_pendingMode;
    m_pendingMode.reset();
    ApplyFullscreen(mode);
  } else if (m_pendingFill && !SizeIsFinal()) {  // on Wayland, see SwapBuffers
    m_pendingFill = false;
    ApplyFillScreen();
  }
  return true;
}

void SdlWindow::Destroy() {
  // The SDL window itself lives until this object goes, after the GL
  // context: the scene's GL objects are deleted with the context current.
  if (!m_open) return;
  LeaveFullscreen();
  SDL_HideWindow(m_window);
  m_open = false;
}

void SdlWindow::SetIcon(const char* path) {
  WindowIcon icon;
  if (m_open && icon.Load(path)) SDL_SetWindowIcon(m_window, icon.Surface());
}

void SdlWindow::Show() {
  if (m_open) SDL_ShowWindow(m_window);
}

void SdlWindow::Raise() {
  if (m_open) SDL_RaiseWindow(m_window);
}

void SdlWindow::TakeFocus() {
  if (m_open) SDL_SetWindowInputFocus(m_window);
}

void SdlWindow::Place(const WindowRect& rect) {
  if (!m_open) return;
  // A fullscreen window's place and size are the fullscreen mode's. Sizing
  // it would make SDL apply the whole mode once more (and wait up to 100 ms
  // for a window manager to confirm it); a compositor that only emulates the
  // mode change then keeps the window at the screen's size while SDL reports
  // the mode's.
  if ((SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0) return;
  // A Wayland compositor places its windows itself.
  if (SizeIsFinal()) {
    PlaceOnShownOutput();
  } else {
    SDL_SetWindowPosition(m_window, rect.x, rect.y);
  }
  SDL_SetWindowSize(m_window, rect.width, rect.height);
  // SDL sizes a window that is not resizable only through its size hints,
  // which most window managers follow; sway's Xwayland leaves the window at
  // the size it had fullscreen and shows a tile's worth of it. The size is
  // asked for itself too (a window manager may still choose another).
  SDL_SysWMinfo info;
  if (OnX11(info)) {
    XResizeWindow(info.info.x11.display, info.info.x11.window, static_cast<unsigned>(rect.width),
                  static_cast<unsigned>(rect.height));
    XFlush(info.info.x11.display);
  }
}

void SdlWindow::SetCaptioned(bool captioned) {
  if (!m_open) return;
  m_pendingCaptioned = captioned;
  ApplyBorder();
}

void SdlWindow::ApplyBorder() {
  if (!m_pendingCaptioned) return;
  const SDL_bool bordered = *m_pendingCaptioned ? SDL_TRUE : SDL_FALSE;
  SDL_SysWMinfo info;
  if (!OnX11(info)) {
    SDL_SetWindowBordered(m_window, bordered);
    m_pendingCaptioned.reset();
    return;
  }
  // After changing the border of a window it takes as shown, SDL waits
  // until the X server shows it: without end for a window the window manager
  // has minimised in the meantime (a minimise carried out late). The server
  // is held while the window is looked at and its border changed, so no
  // window manager can unmap it in between; a window not shown gets its
  // border when it is shown again.
  Display* display = info.info.x11.display;
  XGrabServer(display);
  XWindowAttributes attributes{};
  const bool shown = XGetWindowAttributes(display, info.info.x11.window, &attributes) != 0 &&
                     attributes.map_state == IsViewable;
  if (shown) {
    SDL_SetWindowBordered(m_window, bordered);
    m_pendingCaptioned.reset();
  }
  XUngrabServer(display);
  TraceRequest(bordered == SDL_TRUE ? "border on" : "border off", shown);
  XFlush(display);
}

bool SdlWindow::Captioned() const {
  if (!m_open) return false;
  if (m_pendingCaptioned) return *m_pendingCaptioned;
  return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_BORDERLESS) == 0;
}

void SdlWindow::Activated() {
  m_pointerParked = false;
  if (m_open) ApplyBorder();
}

void SdlWindow::Minimize() {
  if (!m_open) return;
  ReleasePointer();
  m_pointerParked = true;
  TraceRequest("minimise", MappedOnXServer());
  SDL_MinimizeWindow(m_window);
}

bool SdlWindow::Minimized() const {
  if (!m_open) return false;
  // SDL flags a minimise once it has read the window manager's events; a
  // window the X server no longer shows after the game asked for a minimise
  // is minimised already. (SDL would wait for such a window to be shown
  // again before changing its border.) The X server is asked only then, not
  // in every frame.
  const Uint32 flags = SDL_GetWindowFlags(m_window);
  if ((flags & SDL_WINDOW_MINIMIZED) != 0) return true;
  if (!m_pointerParked || (flags & SDL_WINDOW_HIDDEN) != 0) return false;
  SDL_SysWMinfo info;
  if (OnX11(info)) return !MappedOnXServer();
  // A Wayland window has no minimised state to read, and a compositor that
  // hides it stops its frames. Asked to minimise, a window that has lost the
  // keyboard is taken as put away; one that keeps it, as refused.
  return (flags & SDL_WINDOW_INPUT_FOCUS) == 0;
}

bool SdlWindow::Active() const {
  if (!m_open) return false;
  const Uint32 flags = SDL_GetWindowFlags(m_window);
  return (flags & SDL_WINDOW_INPUT_FOCUS) != 0 && (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
}

bool SdlWindow::OnX11(SDL_SysWMinfo& info) const {
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(m_window, &info) == SDL_TRUE && info.subsystem == SDL_SYSWM_X11;
}

bool SdlWindow::MappedOnXServer() const {
  // SDL learns of a minimise only from the events it has read; the X server
  // knows now. Other video drivers are taken at SDL's word.
  SDL_SysWMinfo info;
  if (!OnX11(info)) return true;
  XWindowAttributes attributes{};
  return XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) != 0 &&
         attributes.map_state == IsViewable;
}

bool SdlWindow::UpdatePointerCapture() {
  if (m_pointerParked || !Active()) {
    ReleasePointer();
    return false;
  }
  if (!m_pointerCaptured && MappedOnXServer() && PointerOver()) {
    // Where the capture begins, to give the pointer back there (on Xwayland).
    SDL_SysWMinfo info;
    if (m_onXwayland && OnX11(info)) m_xPointerMark = XPointerInWindow(info);
    SDL_SetRelativeMouseMode(SDL_TRUE);
    m_pointerCaptured = true;
  }
  return m_pointerCaptured;
}

bool SdlWindow::PointerOver() const {
  // A Wayland compositor may grant the pointer lock before the pointer has
  // entered the window (sway, now and then, at start): the pointer is then
  // held where it is, never enters, and the game gets no motion at all.
  // There the pointer is taken once it is over the window. X11 takes it
  // wherever it is.
  SDL_SysWMinfo info;
  return OnX11(info) || SDL_GetMouseFocus() == m_window;
}

std::optional<SDL_Point> SdlWindow::XPointerInWindow(const SDL_SysWMinfo& info) const {
  Window root = 0;
  Window child = 0;
  SDL_Point onRoot{};
  SDL_Point inWindow{};
  unsigned int buttons = 0;
  if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &onRoot.x, &onRoot.y, &inWindow.x,
                    &inWindow.y, &buttons) == 0) {
    return std::nullopt;
  }
  return inWindow;
}

void SdlWindow::ReleasePointer() {
  if (!m_pointerCaptured) return;
  // While the compositor holds the pointer for Xwayland, the X server moves
  // its own pointer by the motion, kept inside the window: after a sweep to
  // the top left, to the window's corner. As the hold ends, Xwayland has the
  // compositor put its pointer where the X server's is, and so does SDL's
  // warp as it leaves relative mode (to its own idea of where the pointer
  // is, which went the same way): for a fullscreen window, into GNOME's hot
  // corner, where the overview opens. So, on Xwayland, the X server's
  // pointer goes back to where it was as the capture began while the hold
  // lasts, and a cursor is shown, which ends the hold there before SDL lets
  // go and warps (SDL hides the cursor again as it leaves relative mode:
  // the game draws its own).
  SDL_SysWMinfo info;
  if (m_onXwayland && OnX11(info)) {
    Display* display = info.info.x11.display;
    const Window window = info.info.x11.window;
    if (m_xPointerMark) XWarpPointer(display, None, window, 0, 0, 0, 0, m_xPointerMark->x, m_xPointerMark->y);
    const Cursor shown = XCreateFontCursor(display, XC_left_ptr);
    XDefineCursor(display, window, shown);
    XFreeCursor(display, shown);
    XFlush(display);
  }
  SDL_SetRelativeMouseMode(SDL_FALSE);
  m_pointerCaptured = false;
  m_xPointerMark.reset();
}

bool SdlWindow::Viewable() const {
  return m_open && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_HIDDEN) == 0 && !Minimized();
}

void SdlWindow::ClientSize(int& width, int& height) const {
  width = 0;
  height = 0;
  if (m_window != nullptr) SDL_GetWindowSize(m_window, &width, &height);
}

void SdlWindow::DrawableSize(int& width, int& height) const {
  width = 0;
  height = 0;
  if (m_window == nullptr) return;
  // SDL keeps a fullscreen window at its mode's size, whatever size the
  // window manager gave it; the X server knows the real one.
  SDL_SysWMinfo info;
  XWindowAttributes attributes{};
  if (OnX11(info) && XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) != 0) {
    width = attributes.width;
    height = attributes.height;
    return;
  }
  SDL_GL_GetDrawableSize(m_window, &width, &height);
}

bool SdlWindow::SetPixelFormat(const PixelFormat& format) {
  // The visual SDL picks when it opens the window already has a double
  // buffer and a 16-bit depth buffer (its defaults); these settings make the
  // context ask for the same.
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.stencilBits);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  return m_window != nullptr;
}

GlContextHandle SdlWindow::CreateGlContext() {
  if (m_window == nullptr) return nullptr;
  SDL_GLContext context = SDL_GL_CreateContext(m_window);
  if (context == nullptr) {
    Fail();
    return nullptr;
  }
  // Present in step with the display where it can: adaptive sync first.
  if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);
  return context;
}

bool SdlWindow::MakeCurrent(GlContextHandle context) {
  if (SDL_GL_MakeCurrent(m_window, static_cast<SDL_GLContext>(context)) != 0) {
    Fail();
    return false;
  }
  return true;
}

void SdlWindow::DeleteGlContext(GlContextHandle context) {
  if (context != nullptr) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context));
}

void SdlWindow::SwapBuffers() {
  if (m_window == nullptr) return;
  SDL_GL_SwapWindow(m_window);
  // A Wayland compositor places a window as it is first shown, and gives
  // one that leaves fullscreen back the place it had before: a window shown
  // fullscreen from the start has none, and GNOME put it at the screen's
  // corner, under its top bar, with its title bar hidden. There the window
  // is first shown in a window, placed by the compositor, and made
  // fullscreen once its first picture has been shown: with the second swap,
  // which SDL lets wait until the compositor has shown the first (and, with
  // more than one output, once the output it went to is known).
  ++m_swaps;
  FillIfReady();
  // Where the swap interval has no effect, the wait for the display's
  // refresh is added here.
  m_pacer.AfterSwap(RefreshRate());
}

int SdlWindow::RefreshRate() const {
  const int display = SDL_GetWindowDisplayIndex(m_window);
  SDL_DisplayMode mode{};
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

bool SdlWindow::EnterFullscreen(const SDL_DisplayMode& mode) {
  if (m_window == nullptr) {
    m_pendingFill = false;
    m_pendingMode = mode;
    return true;
  }
  return ApplyFullscreen(mode);
}

bool SdlWindow::ApplyFullscreen(const SDL_DisplayMode& mode) {
  // Entering it again would make SDL apply the mode anew (see Place).
  SDL_DisplayMode current{};
  const Uint32 flags = SDL_GetWindowFlags(m_window);
  const bool inMode = (flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN &&
                      SDL_GetWindowDisplayMode(m_window, &current) == 0 && current.w == mode.w &&
                      current.h == mode.h && current.format == mode.format;
  if (inMode) return true;
  ReleasePointer();
  TraceRequest("fullscreen", MappedOnXServer());
  if (SDL_SetWindowDisplayMode(m_window, &mode) != 0 || SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN) != 0) {
    Fail();
    return false;
  }
  return true;
}

void SdlWindow::PlaceOnShownOutput() {
  // SDL makes a window fullscreen on the display its position lies in, and
  // tells the display of a window whose position it sets; a Wayland window
  // has no position of its own. It is given the origin of the output the
  // compositor shows it on, where the player is.
  SDL_Rect output{};
  if (SizeIsFinal() && m_shownOn >= 0 && SDL_GetDisplayBounds(m_shownOn, &output) == 0) {
    SDL_SetWindowPosition(m_window, output.x, output.y);
  }
}

void SdlWindow::ShownOn(int display) {
  char line[64];
  std::snprintf(line, sizeof line, "window on display %d\n", display);
  Diagnostics::Trace(line);
  m_shownOn = display;
  FillIfReady();
}

void SdlWindow::FillIfReady() {
  if (!m_pendingFill || !ReadyToFill()) return;
  m_pendingFill = false;
  ApplyFillScreen();
}

bool SdlWindow::ReadyToFill() const {
  if (!SizeIsFinal()) return true;
  if (m_swaps < kSwapsBeforeFill) return false;
  return m_shownOn >= 0 || SDL_GetNumVideoDisplays() <= 1 || m_swaps >= kSwapsAwaitingOutput;
}

void SdlWindow::FillScreen() {
  if (m_window == nullptr || !ReadyToFill()) {
    m_pendingMode.reset();
    m_pendingFill = true;
    return;
  }
  ApplyFillScreen();
}

void SdlWindow::ApplyFillScreen() {
  if ((SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) return;
  ReleasePointer();
  TraceRequest("fullscreen at the screen's mode", MappedOnXServer());
  PlaceOnShownOutput();
  if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    Fail();
    return;
  }
  // SDL leaves the size of a fullscreen X window to the window manager;
  // without one the window would keep its own size. It is given the whole
  // screen itself (a window manager sizes it so anyway).
  SDL_SysWMinfo info;
  SDL_Rect bounds{};
  const int display = SDL_GetWindowDisplayIndex(m_window);
  if (OnX11(info) && display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) {
    XMoveResizeWindow(info.info.x11.display, info.info.x11.window, bounds.x, bounds.y,
                      static_cast<unsigned>(bounds.w), static_cast<unsigned>(bounds.h));
    XFlush(info.info.x11.display);
  }
}

bool SdlWindow::SizeIsFinal() const {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}

void SdlWindow::KeepThroughFocusLoss(bool keep) {
  if (keep == m_keptThroughFocusLoss) return;
  m_keptThroughFocusLoss = keep;
  // SDL reads it when it delivers a focus loss.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, keep ? "0" : "1");
}

void SdlWindow::LeaveFullscreen() {
  m_pendingMode.reset();
  m_pendingFill = false;
  if (m_window != nullptr && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0) {
    ReleasePointer();
    TraceRequest("fullscreen off", MappedOnXServer());
    SDL_SetWindowFullscreen(m_window, 0);
    // SDL gives the window back the position it had before, on Wayland
    // none it was ever shown at.
    PlaceOnShownOutput();
  }
}
