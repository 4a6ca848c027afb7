#include "shell/GamePlay.h"

void GamePlay::Setup(Texture* treeTop, Texture* trunk, Texture* snow, SoundBank* sound, DrawSurface* surface) {
  m_sound = sound;
  m_surface = surface;
  m_board.Setup(treeTop, trunk, sound);
  m_snowfall.Init(snow);
  m_intro.Init(surface);
}

GamePlay::Next GamePlay::Step(float dt) {
  m_dt = dt;
  const Next next = StepState();
  UpdateScene();
  return next;
}

bool GamePlay::SkipIntro() {
  if (m_state != StateIntro) return false;
  m_state = StatePlaying;
  return true;
}

void GamePlay::MoveCursor(int mouseX, int mouseY) {
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

void GamePlay::Lift() {
  if (m_state == StatePlaying && m_board.Pick(m_cursorX, m_cursorY)) m_dragging = true;
}

void GamePlay::Drop() {
  if (m_state != StatePlaying) return;
  m_dragging = false;
  m_board.Drop(m_cursorX, m_cursorY);
}

void GamePlay::PutBack() {
  // The button's release goes to whatever has the pointer now; a tree left
  // lifted would stick to the cursor, and the next press could lift another.
  if (!m_dragging) return;
  m_dragging = false;
  m_board.PutBack();
}

GamePlay::Next GamePlay::StepState() {
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
        static_cast<void>(m_finale.Init(m_surface, pegsLeft));
        if (m_sound != nullptr) {
          m_sound->RestartOutput(0);
          m_sound->PlayStream(1, false);
        }
      }
      break;
    case StateFinale:
      if (m_finale.IsDone()) return Next::Quit;
      break;
  }
  return Next::GoOn;
}

void GamePlay::UpdateScene() {
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
