#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "platform/SdlWindow.h"
#include "tests/support/FakeAudio.h"

// A window that records what is done to it. Its GL binding is real: an SDL
// window on the offscreen driver, so the game's drawing runs for real.
class FakeNativeWindow final : public NativeWindow {
 public:
  bool Open(const char* caption, bool captioned, const WindowRect& rect) override;
  bool IsOpen() const override { return open; }
  void Destroy() override { open = false; }
  void SetIcon(const char* path) override { icon = path; }
  void Show() override { shown = true; }
  void Raise() override {}
  void TakeFocus() override {}
  void Place(const WindowRect& r) override {
    rect = r;
    ++places;
  }
  void SetCaptioned(bool c) override {
    captioned = c;
    ++styleChanges;
    if (minimized) ++styleChangesWhileMinimized;
  }
  bool Captioned() const override { return captioned; }
  void Minimize() override { minimized = !refuseMinimize; }
  bool Minimized() const override { return minimized; }
  void WithdrawMinimize() override { ++minimizesWithdrawn; }
  void LeaveFullscreen() override { ++fullscreensLeft; }
  void KeepThroughFocusLoss(bool keep) override { keptThroughFocusLoss = keep; }
  bool SizeIsFinal() const override { return sizeIsFinal; }
  bool Viewable() const override { return shown && !minimized; }
  void ClientSize(int& width, int& height) const override {
    width = rect.width;
    height = rect.height;
  }
  // The client area, unless a test sets another drawable size.
  void DrawableSize(int& width, int& height) const override {
    width = drawable.width > 0 ? drawable.width : rect.width;
    height = drawable.height > 0 ? drawable.height : rect.height;
  }
  int RefreshRate() const override { return refreshHz; }
  bool SetPixelFormat(const PixelFormat& format) override;
  GlContextHandle CreateGlContext() override;
  bool MakeCurrent(GlContextHandle context) override;
  void DeleteGlContext(GlContextHandle context) override;
  void SwapBuffers() override { ++swaps; }
  const char* LastError() const override { return "fake window"; }

  bool failOpen = false;
  bool failContext = false;
  bool open = false;
  bool shown = false;
  bool captioned = false;
  bool minimized = false;
  bool refuseMinimize = false;  // as a window manager without minimise
  int styleChanges = 0;
  // A border change SDL would make on an unmapped window waits until it is
  // mapped again: the game must never ask for one.
  int styleChangesWhileMinimized = 0;
  int minimizesWithdrawn = 0;
  int fullscreensLeft = 0;
  bool keptThroughFocusLoss = false;
  bool sizeIsFinal = false;
  int places = 0;
  int swaps = 0;
  int refreshHz = 60;
  std::string caption;
  std::string icon;
  WindowRect rect{};
  WindowRect drawable{};
  PixelFormat format{};

 private:
  SdlWindow m_gl;
};

// Records every display-mode call as text: "Fullscreen 640x480x16",
// "Test", "Reset", "Reset 1024x768x24".
class FakeDisplaySettings final : public DisplaySettings {
 public:
  DisplayMode SavedMode() override { return desktop; }
  DisplayMode CurrentMode() override { return current; }
  ModeChangeResult Change(const DisplayMode* mode, ModeChange how) override;
  void DebugOutput(const char* text) override { debug.push_back(text); }

  DisplayMode desktop{1024, 768, 24};
  DisplayMode current{1024, 768, 24};
  bool failChange = false;
  bool failTest = false;
  std::vector<std::string> calls;
  // Whether the window had a caption at each fullscreen change.
  const NativeWindow* window = nullptr;
  std::vector<bool> captionedAtFullscreen;
  std::vector<std::string> debug;
};

// Mouse moves and Escape presses handed out one per frame.
class FakeInput final : public InputDevice {
 public:
  void ReadMouseDelta(int& dx, int& dy) override;
  bool PointerCaptured() const override { return captured; }
  bool PollEscape() override;
  void ShowSystemCursor(bool show) override { cursorShown = show; }

  std::deque<std::pair<int, int>> moves;
  std::deque<bool> escapes;
  bool cursorShown = true;
  bool captured = true;
  int frames = 0;  // one mouse read per frame
};

// A high-resolution clock (1 MHz) that advances by `step` on every reading
// and by the pause on Sleep.
class ScriptedClock final : public Clock {
 public:
  bool CounterFrequency(std::int64_t& frequency) const override {
    frequency = 1000000;
    return true;
  }
  std::int64_t Counter() const override { return now += step; }
  std::uint32_t Milliseconds() const override { return static_cast<std::uint32_t>((now += step) / 1000); }
  void Sleep(std::uint32_t milliseconds) const override { now += static_cast<std::int64_t>(milliseconds) * 1000; }
  void SleepUntil(std::int64_t count) const override { now = std::max(now, count); }

  mutable std::int64_t now = 0;
  std::int64_t step = 10000;  // 10 ms per reading
};

// No event ever comes; a wait passes its whole time on the clock.
class NoEvents final : public EventSource {
 public:
  explicit NoEvents(ScriptedClock& clock) : m_clock(clock) {}
  bool Pending() override { return false; }
  void Wait(std::uint32_t milliseconds) override {
    waits.push_back(milliseconds);
    m_clock.Sleep(milliseconds);
  }
  void TranslateOne(MessageQueue&) override {}

  std::vector<std::uint32_t> waits;

 private:
  ScriptedClock& m_clock;
};

// All of the above, wired into one Desktop.
struct FakeDesktop {
  FakeNativeWindow window;
  FakeDisplaySettings display;
  FakeInput input;
  ScriptedClock clock;
  FakeAudio audio;
  NoEvents events{clock};
  MessageQueue queue;
  Desktop desktop{window, display, input, clock, audio, events, queue};
  FakeDesktop() { display.window = &window; }
};
