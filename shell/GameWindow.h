#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "audio/SoundBank.h"
#include "gfx/Texture.h"
#include "platform/DrawSurface.h"
#include "platform/Window.h"
#include "shell/BottleSteering.h"
#include "shell/DisplayModeSwitcher.h"
#include "shell/FrameRenderer.h"
#include "shell/FrameStepper.h"
#include "shell/GamePlay.h"
#include "shell/GameTrace.h"
#include "shell/GlContext.h"
#include "shell/WindowModel.h"

// The game window: turns the desktop's messages into calls on the game and
// on the window model, carries out what the window model asks of the
// desktop, and owns every object of the game: its play, the frame time, the
// drawing, the textures, the sound and the GL context.
class GameWindow : public Window {
 public:
  // Starts fullscreen, or with fullscreen false in the captioned window,
  // leaving the screen's mode alone until F9 asks for fullscreen.
  explicit GameWindow(Desktop& desktop, bool fullscreen = true);
  ~GameWindow() override;

  // Mode change when fullscreen, window creation (GL context and scene setup
  // inside), show, focus, system cursor hidden. False when the window or its
  // GL context cannot be made.
  bool CreateMainWindow();
  // One frame: AdvanceFrame, then the drawing of the current state.
  void StepFrame();
  // All of a frame but its drawing: mouse, frame time, Escape, the state
  // step and the update of what the current state shows. Touches no GL; a
  // headless loop (benchmarks) can run it alone.
  void AdvanceFrame();
  // A frame while the window cannot be seen: as AdvanceFrame, but the time
  // since the last frame is stepped in display periods, and nothing is drawn.
  void RestFrame();

  GameState State() const { return m_play.State(); }
  float CursorX() const { return m_play.CursorX(); }
  float CursorY() const { return m_play.CursorY(); }
  float FrameTime() const { return m_play.FrameTime(); }
  bool Dragging() const { return m_play.Dragging(); }
  // The player's choice: fullscreen or the captioned window.
  bool Fullscreen() const { return m_windowModel.Fullscreen(); }
  float ExitZ() const { return m_play.ExitZ(); }
  float ExitSpin() const { return m_play.ExitSpin(); }
  PegBoard& Board() { return m_play.Board(); }
  const FinaleScreen& Finale() const { return m_play.Finale(); }
  const Snowfall& Snow() const { return m_play.Snow(); }
  const IntroSequence& Intro() const { return m_play.Intro(); }
  // Moves the virtual cursor by a pointer position relative to the screen
  // point (320, 240), or reflects it when it is outside its rectangle.
  void MoveCursor(int mouseX, int mouseY) { m_play.MoveCursor(mouseX, mouseY); }
  // Places the virtual cursor; for tests and tools that stage a position.
  void SetCursor(float x, float y) { m_play.SetCursor(x, y); }

 protected:
  int OnCreate() override;
  void OnSize(int width, int height) override;
  void OnClose() override;
  void OnSystemCommand(SystemCommand command) override;
  void OnKeyDown(Key key) override;
  void OnKeyUp(Key key) override;
  void OnFocusGained() override;
  void OnFocusLost() override;
  void OnLeftButtonDown() override;
  void OnLeftButtonUp() override;
  void OnPadRemoved() override;
  void OnMinimized() override;

 private:
  void SetupScene();
  // Sets up the sound and starts the music, once: after the first picture is
  // on screen (or the first step of a window nobody sees), so that loading
  // the mixer does not hold the picture up.
  void StartSound();
  // Carries out what the window model asked for at `now`.
  void Carry(const WindowModel::Requests& requests, std::uint32_t now);
  // Brings screen mode, border and rectangle in line with a layout.
  void ApplyWindowMode(WindowModel::Layout layout, bool again);
  // Gives the desktop's mode back and asks for the window to be put away.
  void Minimize();
  // What the desktop shows of the window now, its drawable's size only when
  // `withSize` (reading it may cost a round trip to the window system).
  WindowModel::Sample SampleWindow(bool withSize) const;
  // A reading of the frame timer as the window model's time.
  static std::uint32_t WindowTime(double reading);
  // Sets projection and viewport for the drawable's size now, if it or the
  // window mode changed since the last fit.
  void FitPicture();
  // What the keys and the pad ask for.
  void Obey(BottleSteering::Command command);
  // Escape's two meanings: in the intro, skip it; later, quit.
  void SkipIntro();
  void PostClose();
  // Reads the mouse, takes the frame time and polls Escape; returns the
  // frame time in ms.
  float BeginFrame();
  // The game's step for dt ms. False once the game has posted its quit or
  // close: no further step may run.
  bool StepOnce(float dt);
  // One refresh period of the display, in ms.
  float DisplayPeriod() const;

  WindowModel m_windowModel;
  std::unique_ptr<DrawSurface> m_pClientDC;
  DisplayModeSwitcher m_displayMode;
  GlContext m_glContext;
  Texture m_textures[4];
  SoundBank m_sound;
  bool m_soundStarted = false;
  // The scene objects live in the play: destroyed before the GL context.
  GamePlay m_play;
  FrameRenderer m_renderer;
  FrameStepper m_frames;
  // The bottle steered with the keys and a pad.
  BottleSteering m_steering;

  // Escape has posted the close: no frame steps any more.
  bool m_closing = false;
  GameTrace m_trace;
  bool m_holesTraced = false;
  // What the picture was last fitted to.
  struct FittedTo {
    int drawableWidth;
    int drawableHeight;
    bool fullscreen;
    bool operator==(const FittedTo&) const = default;
  };
  std::optional<FittedTo> m_fittedTo;
};
