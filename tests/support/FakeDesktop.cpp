#include "tests/support/FakeDesktop.h"

#include <cstdlib>

namespace {
std::string Text(const DisplayMode& mode) {
  return std::to_string(mode.width) + "x" + std::to_string(mode.height) + "x" + std::to_string(mode.bitsPerPixel);
}
}  // namespace

bool FakeNativeWindow::Open(const char* text, bool withCaption, const WindowRect& r) {
  if (failOpen) return false;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  SDL_InitSubSystem(SDL_INIT_VIDEO);
  if (!m_gl.IsOpen() && !m_gl.Open(text, withCaption, {0, 0, 640, 480})) return false;
  caption = text;
  captioned = withCaption;
  rect = r;
  open = true;
  return true;
}

bool FakeNativeWindow::SetPixelFormat(const PixelFormat& f) {
  format = f;
  return m_gl.SetPixelFormat(f);
}

GlContextHandle FakeNativeWindow::CreateGlContext() { return failContext ? nullptr : m_gl.CreateGlContext(); }
bool FakeNativeWindow::MakeCurrent(GlContextHandle context) { return m_gl.MakeCurrent(context); }
void FakeNativeWindow::DeleteGlContext(GlContextHandle context) { m_gl.DeleteGlContext(context); }

ModeChangeResult FakeDisplaySettings::Change(const DisplayMode* mode, ModeChange how) {
  switch (how) {
    case ModeChange::Fullscreen:
      calls.push_back("Fullscreen " + Text(*mode));
      if (window != nullptr) captionedAtFullscreen.push_back(window->Captioned());
      if (failChange) return ModeChangeResult::Failed;
      current = *mode;
      return ModeChangeResult::Successful;
    case ModeChange::Test:
      calls.push_back("Test");
      return failTest ? ModeChangeResult::Failed : ModeChangeResult::Successful;
    case ModeChange::Reset:
      calls.push_back(mode == nullptr ? "Reset" : "Reset " + Text(*mode));
      current = desktop;
      return ModeChangeResult::Successful;
  }
  return ModeChangeResult::Failed;
}

void FakeInput::ReadMouseDelta(int& dx, int& dy) {
  ++frames;
  dx = 0;
  dy = 0;
  if (moves.empty()) return;
  dx = moves.front().first;
  dy = moves.front().second;
  moves.pop_front();
}

bool FakeInput::PollEscape() {
  if (escapes.empty()) return false;
  const bool pressed = escapes.front();
  escapes.pop_front();
  return pressed;
}
