#include "shell/GameWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "gfx/SceneSetup.h"
#include "shell/ViewportFit.h"

namespace {
constexpr WindowRect kFullscreenRect{0, 0, 640, 480};
constexpr WindowRect kWindowedRect{50, 50, 590, 430};
constexpr const char* kCaption = "Christmas Pegs";
constexpr const char* kIconPath = "Data/Icon.bmp";
// How long a window manager may take to minimise before the game takes it
// as refused (weston offers no minimise for X windows).
constexpr std::uint32_t kMinimizeWaitMs = 500;
// A window manager that gives a window a new frame (metacity, mutter) takes
// its focus away while doing so and gives it back after; SDL reports each
// change only once it has lasted 200 ms. A focus loss within this time after
// the game's own window change waits this long for the focus to come back.
constexpr std::uint32_t kOwnChangeSettleMs = 1000;
// Where the board stands in front of the eye while playing.
constexpr GLfloat kBoardZ = -8.0f;
// The display's rate when the desktop does not say.
constexpr int kAssumedRefreshHz = 60;
// At most this many steps in one rest frame: ten seconds of a 60 Hz display.
constexpr float kMostRestSteps = 600.0f;

const char* const kWindowTexturePaths[4] = {
    "Data/BaumOben.bmp",
    "Data/BaumStamm.bmp",
    "Data/Snowflake.bmp",
    "Data/Flasche.bmp",
};
}  // namespace

GameWindow::GameWindow(Desktop& desktop, bool fullscreen)
    : Window(desktop),
      m_fullscreen(fullscreen),
      m_displayMode(desktop.display),
      m_sound(desktop.audio),
      m_timer(desktop.clock) {
  m_intro.PhaseTimer().UseClock(desktop.clock);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
}

GameWindow::~GameWindow() {
  // The drawable goes first; the members follow in reverse order, the scene
  // objects while the GL context is still current.
  m_pClientDC.reset();
}

bool GameWindow::CreateMainWindow() {
  // A refused mode leaves the screen as it is; the window still takes the
  // fullscreen rectangle, and the game goes on.
  if (m_fullscreen) static_cast<void>(m_displayMode.ChangeMode(640, 480, 16));
  const bool created = Create(kCaption, m_fullscreen ? WindowStyle::Popup : WindowStyle::Captioned,
                              m_fullscreen ? kFullscreenRect : kWindowedRect);
  if (!created) return false;
  SetIcon(kIconPath);
  Show();
  BringToFront();
  Focus();
  m_desktop.input.ShowSystemCursor(false);
  return true;
}

int GameWindow::OnCreate() {
  m_pClientDC = std::make_unique<DrawSurface>(m_desktop.window, m_desktop.display);
  // Without a GL context there is nothing the game could show.
  if (!m_glContext.CreateContext(m_pClientDC.get(), 0)) return -1;
  SetupScene();
  return 0;
}

void GameWindow::SetupScene() {
  ApplyRestingGlState();
  for (int i = 0; i < 4; ++i) {
    // A missing picture leaves its texture blank: untextured drawing.
    static_cast<void>(
        m_textures[i].LoadMipmapped(kWindowTexturePaths[i], GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
  }
  m_board.Setup(&m_textures[0], &m_textures[1], &m_sound);
  m_snowfall.Init(&m_textures[2]);
  m_intro.Init(m_pClientDC.get());
  m_timer.Init();
}

void GameWindow::StartSound() {
  if (m_soundStarted) return;
  m_soundStarted = true;
  m_sound.Init(this);
  m_sound.PlayStream(0, false);
}

void GameWindow::OnSize(int width, int height) {
  DefaultProcessing();
  // Minimised: the size message of the restore comes later.
  if (width <= 0 || height <= 0) return;
  m_fittedTo.reset();
  FitPicture();
}

void GameWindow::FitPicture() {
  // The picture keeps the game's own size: 640 x 480 fullscreen, 590 x 430
  // in the window. Whatever size the window manager or compositor gave the
  // drawable (tiling, a panel, a refused or emulated mode change), the whole
  // picture is fitted in, undistorted and centred, with black bars.
  int drawableWidth = 0;
  int drawableHeight = 0;
  m_desktop.window.DrawableSize(drawableWidth, drawableHeight);
  const FittedTo now{drawableWidth, drawableHeight, m_fullscreen};
  if (m_fittedTo == now) return;
  m_fittedTo = now;
  const WindowRect& picture = m_fullscreen ? kFullscreenRect : kWindowedRect;
  ApplyProjection(picture.width, picture.height);
  const ViewportRect viewport = FitViewport(picture.width, picture.height, drawableWidth, drawableHeight);
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
  m_trace.Viewport(drawableWidth, drawableHeight, viewport.x, viewport.y, viewport.width, viewport.height);
}

void GameWindow::OnClose() {
  m_displayMode.Restore();
  m_desktop.queue.PostQuit(0);
  m_desktop.input.ShowSystemCursor(true);
  DefaultProcessing();
}

void GameWindow::OnSystemCommand(SystemCommand command) {
  // The screen saver and monitor power saving stay off while the game runs.
  if (command == SystemCommand::ScreenSave || command == SystemCommand::MonitorPower) return;
  DefaultProcessing();
}

void GameWindow::OnKeyDown(Key key) {
  if (key == Key::F7) {
    DropHeldTree();
    Minimize();
  } else if (key == Key::F9) {
    m_fullscreen = !m_fullscreen;
    ApplyWindowMode();
  } else {
    Obey(m_steering.Press(key, m_state, m_dragging, m_cursorX, m_cursorY));
  }
  DefaultProcessing();
}

void GameWindow::OnKeyUp(Key key) {
  m_steering.Release(key);
  DefaultProcessing();
}

void GameWindow::OnPadRemoved() {
  // A tree the pad lifted must not stay stuck to the bottle.
  m_steering.ReleaseAll();
  DropHeldTree();
  DefaultProcessing();
}

void GameWindow::OnFocusGained() {
  DefaultProcessing();
  m_trace.Focus(true);
  m_minimizeAskedSinceFocus = false;
  m_focusLossHeldAt.reset();
  ApplyWindowMode();
}

void GameWindow::OnFocusLost() {
  DefaultProcessing();
  m_trace.Focus(false);
  m_steering.ReleaseAll();
  DropHeldTree();
  // The loss a minimise of the game's own brought: asking once more would
  // minimise a window the player may have restored in the meantime.
  if (m_minimizeAskedSinceFocus) return;
  const std::uint32_t now = m_desktop.clock.Milliseconds();
  if (m_ownChangeAt && now - *m_ownChangeAt < kOwnChangeSettleMs) {
    // Most likely the game's own border or mode change: minimised only if
    // the focus does not come back.
    if (!m_focusLossHeldAt) m_focusLossHeldAt = now;
    return;
  }
  Minimize();
}

void GameWindow::WatchHeldFocusLoss() {
  if (!m_focusLossHeldAt) return;
  if (m_desktop.clock.Milliseconds() - *m_focusLossHeldAt < kOwnChangeSettleMs) return;
  m_focusLossHeldAt.reset();
  m_ownChangeAt.reset();
  Minimize();
}

void GameWindow::WatchWindowSize(float dt) {
  // A window manager can undo a fullscreen it has just granted (KWin, now
  // and then, for a window restored right after a minimise), or leave a
  // window at its fullscreen size after it was asked for its windowed one
  // (sway's Xwayland, on a busy machine). A second after asking, a window
  // drawn smaller than the mode, or in a window at another size than asked,
  // is asked once more; one that then keeps another size (a tiling window
  // manager's tile) keeps it. The second is counted in frame time: no clock
  // reading of its own.
  if (!m_sinceWindowAsked || !m_desktop.window.Viewable()) return;
  *m_sinceWindowAsked += dt;
  if (*m_sinceWindowAsked < static_cast<float>(kOwnChangeSettleMs)) return;
  m_sinceWindowAsked.reset();
  int width = 0;
  int height = 0;
  m_desktop.window.DrawableSize(width, height);
  const bool asAsked = m_fullscreen ? width >= kFullscreenRect.width && height >= kFullscreenRect.height
                                    : width == kWindowedRect.width && height == kWindowedRect.height;
  if (asAsked || m_windowAskedAgain) {
    m_windowAskedAgain = false;
    return;
  }
  m_windowAskedAgain = true;
  m_sinceWindowAsked = 0.0f;
  m_ownChangeAt = m_desktop.clock.Milliseconds();
  if (m_fullscreen) static_cast<void>(m_displayMode.ChangeMode(640, 480, 16));
  Move(m_fullscreen ? kFullscreenRect : kWindowedRect);
}

void GameWindow::DropHeldTree() {
  // The button's release goes to whatever has the pointer now; a tree left
  // lifted would stick to the cursor, and the next press could lift another.
  if (!m_dragging) return;
  m_dragging = false;
  m_board.PutBack();
}

void GameWindow::ApplyWindowMode() {
  m_minimizeAskedAt.reset();
  m_fellBackFromFullscreen = false;
  m_ownChangeAt = m_desktop.clock.Milliseconds();
  m_sinceWindowAsked = 0.0f;
  if (m_fullscreen) {
    // The style first: a window already fullscreen keeps the style it had.
    if (Style() != WindowStyle::Popup) SetStyle(WindowStyle::Popup);
    static_cast<void>(m_displayMode.ChangeMode(640, 480, 16));  // refused: as at start
    Move(kFullscreenRect);
  } else {
    m_displayMode.Restore();
    if (Style() != WindowStyle::Captioned) SetStyle(WindowStyle::Captioned);
    Move(kWindowedRect);
  }
}

void GameWindow::Minimize() {
  if (IsMinimized()) return;
  if (m_fullscreen) m_displayMode.Restore();
  ShowMinimized();
  m_minimizeAskedSinceFocus = true;
  m_sinceWindowAsked.reset();  // the window is put away, not sized
  if (!m_minimizeAskedAt) m_minimizeAskedAt = m_desktop.clock.Milliseconds();
}

void GameWindow::WatchMinimize() {
  if (m_fellBackFromFullscreen && IsMinimized()) {
    // Minimised late (a busy machine, an animation): the window comes back
    // fullscreen when it is shown again, as after a minimise on time.
    m_fellBackFromFullscreen = false;
    m_fullscreen = true;
  }
  if (!m_minimizeAskedAt) return;
  if (IsMinimized()) {
    m_minimizeAskedAt.reset();
  } else if (m_desktop.clock.Milliseconds() - *m_minimizeAskedAt >= kMinimizeWaitMs) {
    // Refused: the game goes on in the captioned window, in use at once:
    // the pointer is taken again, and one F9 gives fullscreen back.
    m_desktop.window.WithdrawMinimize();
    m_minimizeAskedSinceFocus = false;
    const bool wasFullscreen = m_fullscreen;
    m_fullscreen = false;
    ApplyWindowMode();
    m_fellBackFromFullscreen = wasFullscreen;
  }
}

void GameWindow::OnLeftButtonDown() {
  m_trace.Button(true, m_cursorX, m_cursorY);
  LiftTree();
  DefaultProcessing();
}

void GameWindow::OnLeftButtonUp() {
  m_trace.Button(false, m_cursorX, m_cursorY);
  DropTree();
  DefaultProcessing();
}

void GameWindow::LiftTree() {
  if (m_state == StatePlaying && m_board.Pick(m_cursorX, m_cursorY)) m_dragging = true;
}

void GameWindow::DropTree() {
  if (m_state != StatePlaying) return;
  m_dragging = false;
  m_board.Drop(m_cursorX, m_cursorY);
}

void GameWindow::Obey(BottleSteering::Command command) {
  switch (command) {
    case BottleSteering::Command::None: break;
    case BottleSteering::Command::SkipIntro: SkipIntro(); break;
    case BottleSteering::Command::Lift: LiftTree(); break;
    case BottleSteering::Command::Drop: DropTree(); break;
    case BottleSteering::Command::PutBack: DropHeldTree(); break;
    case BottleSteering::Command::Quit: PostClose(); break;
  }
}

void GameWindow::SkipIntro() {
  if (m_state != StateIntro) return;
  m_state = StatePlaying;
  m_desktop.clock.Sleep(500);
}

void GameWindow::PostClose() {
  m_desktop.queue.Post({MessageKind::Close, 0, 0});
  m_closing = true;
}

void GameWindow::MoveCursor(int mouseX, int mouseY) {
  const bool inside = -5.0f < m_cursorX && m_cursorX < 5.0f && -4.0f < m_cursorY && m_cursorY < 4.0f;
  if (inside) {
    m_cursorX += static_cast<float>(mouseX - 320) * 0.01f;
    m_cursorY += static_cast<float>(240 - mouseY) * 0.01f;
    return;
  }
  // Outside: reflect through the centre and pull in, discarding this move.
  const auto reflect = [](float c) { return c >= 0.0f ? -c + 0.05f : -c - 0.05f; };
  m_cursorX = reflect(m_cursorX);
  m_cursorY = reflect(m_cursorY);
}

void GameWindow::StepFrame() {
  AdvanceFrame();
  FitPicture();
  Render();
  StartSound();
  if (!m_trace.Enabled()) return;
  if (!m_holesTraced) TraceHoles();
  m_trace.Frame(m_state, m_cursorX, m_cursorY, m_board.CountPegs());
}

void GameWindow::TraceHoles() {
  // Each hole's centre through the projection in force and the board's
  // place in front of the eye, so that a harness finds the holes on the
  // screen without a projection of its own.
  m_holesTraced = true;
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  GLdouble board[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, kBoardZ, 1};
  const GLint picture[4] = {0, 0, 1, 1};
  for (int c = 0; c < BoardModel::Size; ++c) {
    for (int r = 0; r < BoardModel::Size; ++r) {
      if (!BoardModel::IsHole(c, r)) continue;
      const float x = BoardModel::BoardX(c);
      const float y = BoardModel::BoardY(r);
      GLdouble px = 0.0;
      GLdouble py = 0.0;
      GLdouble pz = 0.0;
      if (gluProject(x, y, 0.0, board, projection, picture, &px, &py, &pz) == GL_TRUE) {
        m_trace.Hole(c, r, x, y, px, 1.0 - py);
      }
    }
  }
}

void GameWindow::AdvanceFrame() {
  StepOnce(BeginFrame());
}

void GameWindow::RestFrame() {
  StartSound();
  // The time since the last frame is stepped through in display periods, as
  // a watched game would have stepped it, so that what happens unseen is
  // what would have happened on the screen. Nothing is drawn.
  float left = BeginFrame();
  // A wake long overdue (the machine was suspended, the process stopped) is
  // stepped in longer steps rather than spinning through millions of them.
  const float period = std::max(DisplayPeriod(), left / kMostRestSteps);
  do {
    const float dt = left < period ? left : period;
    if (!StepOnce(dt)) break;
    left -= dt;
  } while (left > 0.0f);
  m_trace.Rest();
}

float GameWindow::DisplayPeriod() const {
  const int hz = m_desktop.window.RefreshRate();
  return 1000.0f / static_cast<float>(hz > 0 ? hz : kAssumedRefreshHz);
}

float GameWindow::BeginFrame() {
  WatchMinimize();
  WatchHeldFocusLoss();
  int dx = 0;
  int dy = 0;
  m_desktop.input.ReadMouseDelta(dx, dy);
  m_trace.Mouse(m_desktop.input.PointerCaptured(), dx, dy);
  MoveCursor(320 + dx, 240 + dy);
  if (dx != 0 || dy != 0) m_steering.MouseMoved();

  // Readings are kept in double milliseconds: a float would step in whole
  // milliseconds and more after a few hours of running.
  if (!m_timeStarted) {
    m_previousReading = m_timer.Now();
    m_timeStarted = true;
  }
  double reading = m_timer.Now();
  while (reading == m_previousReading) reading = m_timer.Now();
  const float dt = static_cast<float>(reading - m_previousReading);
  m_previousReading = reading;
  WatchWindowSize(dt);

  const bool escape = m_desktop.input.PollEscape();
  if (m_steering.TakesEscape(escape, m_dragging)) {
    DropHeldTree();
  } else if (escape) {
    if (m_state == StateIntro) {
      SkipIntro();
    } else {
      PostClose();
    }
  }
  return dt;
}

bool GameWindow::StepOnce(float dt) {
  m_dt = dt;
  m_steering.Update(dt, m_cursorX, m_cursorY);
  const bool goesOn = StepState();
  UpdateScene();
  return goesOn && !m_closing;
}

bool GameWindow::StepState() {
  switch (m_state) {
    case StatePlaying:
      if (m_dragging) m_board.Drag(m_cursorX, m_cursorY);
      if (m_board.NoMoveLeft()) m_state = StateBoardExit;
      break;
    case StateIntro:
      if (m_intro.IsDone()) m_state = StatePlaying;
      break;
    case StateBoardExit:
      m_exitZ += m_dt * 0.001f;
      m_exitSpin += m_dt * 0.03f;
      if (m_exitZ >= 2.0f) {
        m_state = StateFinale;
        const int pegsLeft = m_board.CountPegs();
        // Without a font the finale still runs its timing and ends the game.
        static_cast<void>(m_finale.Init(m_pClientDC.get(), pegsLeft));
        m_sound.RestartOutput(0);
        m_sound.PlayStream(1, false);
      }
      break;
    case StateFinale:
      if (m_finale.IsDone()) {
        m_desktop.queue.PostQuit(0);
        return false;
      }
      break;
  }
  return true;
}

void GameWindow::UpdateScene() {
  switch (m_state) {
    case StatePlaying:
      m_board.Update(m_dt);
      m_snowfall.Update(m_dt);
      break;
    case StateIntro:
      m_intro.Update(m_dt);
      break;
    case StateBoardExit:
      m_snowfall.Update(m_dt);
      m_board.Update(m_dt);
      break;
    case StateFinale:
      m_finale.Update(m_dt);
      break;
  }
}

void GameWindow::Render() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  switch (m_state) {
    case StatePlaying:
      glTranslatef(0.0f, 0.0f, kBoardZ);
      m_board.Draw();
      m_snowfall.Draw();
      DrawCursor();
      break;
    case StateIntro:
      m_intro.Draw();
      break;
    case StateBoardExit:
      m_snowfall.Draw();
      glTranslatef(0.0f, 0.0f, m_exitZ);
      glRotatef(m_exitSpin, 0.0f, 0.0f, 1.0f);
      m_board.Draw();
      break;
    case StateFinale:
      m_finale.Draw();
      break;
  }
  if (m_pClientDC) m_pClientDC->SwapBuffers();
}

void GameWindow::DrawCursor() {
  glPushMatrix();
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  m_textures[3].Bind();
  const float z = m_dragging ? 0.75f : 0.0f;
  const float x = m_cursorX;
  const float y = m_cursorY;
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(x, y, z);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x, y - 1.0f, z);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(x + 0.75f, y - 1.0f, z);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(x + 0.75f, y, z);
  glEnd();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}
