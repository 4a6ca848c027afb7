#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "audio/SoundBank.h"
#include "gfx/Texture.h"
#include "platform/DrawSurface.h"
#include "platform/Window.h"
#include "puzzle/PegBoard.h"
#include "scenes/FinaleScreen.h"
#include "scenes/IntroSequence.h"
#include "scenes/Snowfall.h"
#include "shell/DisplayModeSwitcher.h"
#include "platform/FrameTimer.h"
#include "shell/BottleSteering.h"
#include "shell/GameState.h"
#include "shell/GameTrace.h"
#include "shell/GlContext.h"

// The game window: owns every scene object, keeps the game state, moves the
// virtual cursor, measures the frame time and draws each frame.
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

  GameState State() const { return m_state; }
  float CursorX() const { return m_cursorX; }
  float CursorY() const { return m_cursorY; }
  float FrameTime() const { return m_dt; }
  bool Dragging() const { return m_dragging; }
  bool Fullscreen() const { return m_fullscreen; }
  float ExitZ() const { return m_exitZ; }
  float ExitSpin() const { return m_exitSpin; }
  PegBoard& Board() { return m_board; }
  const FinaleScreen& Finale() const { return m_finale; }
  const Snowfall& Snow() const { return m_snowfall; }
  const IntroSequence& Intro() const { return m_intro; }
  // Moves the virtual cursor by a pointer position relative to the screen
  // point (320, 240), or reflects it when it is outside its rectangle.
  void MoveCursor(int mouseX, int mouseY);
  // Places the virtual cursor; for tests and tools that stage a position.
  void SetCursor(float x, float y) {
    m_cursorX = x;
    m_cursorY = y;
  }

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

 private:
  void SetupScene();
  // Sets up the sound and starts the music, once: after the first picture is
  // on screen (or the first step of a window nobody sees), so that loading
  // the mixer does not hold the picture up.
  void StartSound();
  void ApplyWindowMode();
  // Sets projection and viewport for the drawable's size now, if it or the
  // window mode changed since the last fit.
  void FitPicture();
  void Minimize();
  void DropHeldTree();
  // The mouse's and the keys' ways to lift the tree under the cursor, and to
  // drop the lifted one there: a jump, or it goes back.
  void LiftTree();
  void DropTree();
  // What the keys and the pad ask for.
  void Obey(BottleSteering::Command command);
  // Escape's two meanings: in the intro, skip it; later, quit.
  void SkipIntro();
  void PostClose();
  // A focus loss held back because the game's own window change caused it
  // is taken as real when the focus has not come back within a short wait.
  void WatchHeldFocusLoss();
  // A window left at another size than asked for is asked once more.
  void WatchWindowSize(float dt);
  // A minimise the window manager has not carried out within a short wait
  // is taken as refused: the game goes on in the captioned window.
  void WatchMinimize();
  // Reads the mouse, takes the frame time and polls Escape; returns the
  // frame time in ms.
  float BeginFrame();
  // The state step and the scene update for dt ms. False once the game has
  // posted its quit or close: no further step may run.
  bool StepOnce(float dt);
  // The state machine's step; false when it posted the quit.
  bool StepState();
  // Advances what the current state shows by m_dt.
  void UpdateScene();
  // One refresh period of the display, in ms.
  float DisplayPeriod() const;
  // Draws the current state and presents it; changes nothing but GL.
  void Render();
  void DrawCursor();
  // Writes each hole's place in the picture to the trace.
  void TraceHoles();

  bool m_fullscreen = true;
  std::unique_ptr<DrawSurface> m_pClientDC;
  DisplayModeSwitcher m_displayMode;
  GlContext m_glContext;
  Texture m_textures[4];
  PegBoard m_board;
  Snowfall m_snowfall;
  IntroSequence m_intro;
  SoundBank m_sound;
  bool m_soundStarted = false;
  float m_exitZ = -8.0f;
  float m_exitSpin = 0.0f;
  FinaleScreen m_finale;
  FrameTimer m_timer;
  float m_dt = 0.0f;
  float m_cursorX = 0.0f;
  float m_cursorY = 0.0f;
  bool m_dragging = false;
  GameState m_state = StateIntro;
  BottleSteering m_steering;

  // The previous frame's time reading in ms, taken first on the first frame.
  double m_previousReading = 0.0;
  bool m_timeStarted = false;
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
  // When the pending minimise was asked for, by the millisecond clock.
  std::optional<std::uint32_t> m_minimizeAskedAt;
  // When the game last changed its window's border, place or the screen's
  // mode itself, and when a focus loss that came soon after was held back.
  std::optional<std::uint32_t> m_ownChangeAt;
  std::optional<std::uint32_t> m_focusLossHeldAt;
  // The game left fullscreen for the captioned window because a minimise
  // seemed refused; should the minimise come after all, the guess was wrong
  // and the game is shown fullscreen again.
  bool m_fellBackFromFullscreen = false;
  // Milliseconds of frame time since the window's mode was last asked for,
  // and whether that was already the second time for a window left at
  // another size.
  std::optional<float> m_sinceWindowAsked;
  bool m_windowAskedAgain = false;
  // The game asked for a minimise and has not had the focus since: the
  // focus loss that minimise brings (SDL reports it late) is not a new one.
  bool m_minimizeAskedSinceFocus = false;
};
