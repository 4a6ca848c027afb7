#pragma once

#include "audio/SoundBank.h"
#include "gfx/Texture.h"
#include "platform/DrawSurface.h"
#include "puzzle/PegBoard.h"
#include "scenes/FinaleScreen.h"
#include "scenes/IntroSequence.h"
#include "scenes/Snowfall.h"
#include "shell/GameState.h"

// The game itself, apart from its window: the states from the intro to the
// finale, what each shows, the bottle cursor and the tree it carries. Time
// comes in as the frame time; nothing here reads a clock or draws.
class GamePlay {
 public:
  // What Step leaves to the window.
  enum class Next { GoOn, Quit };

  GamePlay() = default;
  GamePlay(const GamePlay&) = delete;
  GamePlay& operator=(const GamePlay&) = delete;

  // The scene objects with the window's textures (tree top, trunk, snow),
  // its sound and its drawing surface (the intro's and finale's fonts).
  void Setup(Texture* treeTop, Texture* trunk, Texture* snow, SoundBank* sound, DrawSurface* surface);

  // The state step and what the state shows, advanced by dt ms.
  Next Step(float dt);
  // Escape or its like during the intro: the board comes. False in any
  // other state.
  bool SkipIntro();

  // Moves the cursor by a pointer position relative to the screen point
  // (320, 240), or reflects it when it is outside its rectangle.
  void MoveCursor(int mouseX, int mouseY);
  void SetCursor(float x, float y) {
    m_cursorX = x;
    m_cursorY = y;
  }
  // The left button pressed and released over the board.
  void Lift();
  void Drop();
  // A lifted tree goes back to its hole, as when the pointer is lost.
  void PutBack();

  GameState State() const { return m_state; }
  float CursorX() const { return m_cursorX; }
  float CursorY() const { return m_cursorY; }
  bool Dragging() const { return m_dragging; }
  float ExitZ() const { return m_exitZ; }
  float ExitSpin() const { return m_exitSpin; }
  float FrameTime() const { return m_dt; }
  PegBoard& Board() { return m_board; }
  const PegBoard& Board() const { return m_board; }
  const FinaleScreen& Finale() const { return m_finale; }
  const Snowfall& Snow() const { return m_snowfall; }
  const IntroSequence& Intro() const { return m_intro; }
  IntroSequence& Intro() { return m_intro; }

 private:
  // The state machine's step; Quit once the finale is over.
  Next StepState();
  // Advances what the current state shows by m_dt.
  void UpdateScene();

  PegBoard m_board;
  Snowfall m_snowfall;
  IntroSequence m_intro;
  FinaleScreen m_finale;
  SoundBank* m_sound = nullptr;
  DrawSurface* m_surface = nullptr;
  float m_exitZ = -8.0f;
  float m_exitSpin = 0.0f;
  float m_dt = 0.0f;
  float m_cursorX = 0.0f;
  float m_cursorY = 0.0f;
  bool m_dragging = false;
  GameState m_state = StateIntro;
};
