#pragma once

#include <optional>

#include "platform/Message.h"
#include "puzzle/HoleNavigation.h"
#include "shell/GameState.h"

// Steers the bottle cursor with keys and a game pad's controls: a direction
// sets the hole the bottle glides to, one hole on from the last one aimed
// at, and a direction held on steps on as a held key repeats; Select lifts
// the tree under the bottle or drops the one it carries, Cancel puts a
// lifted tree back, Back quits; in the intro every control but Cancel and
// Back skips it. The mouse takes the bottle back whenever it moves. Escape
// puts a lifted tree back instead of its usual meaning. Pure rules: time
// comes in as the frame time, the cursor as the board point it is at.
class BottleSteering {
 public:
  // What the game is to do for a press.
  enum class Command { None, SkipIntro, Lift, Drop, PutBack, Quit };

  // How the bottle moves: it covers this share of the way left in every
  // GlideMs, and at least LeastSpeed board units a millisecond, so that it
  // arrives. A held direction steps on after RepeatDelayMs, then every
  // RepeatEveryMs.
  static constexpr float GlideMs = 35.0f;
  static constexpr float LeastSpeed = 0.004f;
  static constexpr float RepeatDelayMs = 350.0f;
  static constexpr float RepeatEveryMs = 120.0f;

  // A control went down while the game is in `state`, with a tree lifted or
  // not and the bottle at (x, y). Lift and Drop happen where the bottle was
  // going: it is put there at once. A press of a control still held (the
  // keyboard's own repeat) does nothing.
  Command Press(Key key, GameState state, bool lifted, float& x, float& y);
  void Release(Key key);
  // Every control let go: the focus left, or a pad was pulled out.
  void ReleaseAll();
  // Escape as the frame polls it, down or pressed since the last poll. True
  // when it is the steering's: it puts the lifted tree back, or it is the
  // same press held on after that, which must not quit.
  bool TakesEscape(bool escape, bool lifted);
  // The mouse moved the bottle: the bottle stays where the mouse put it.
  void MouseMoved() { m_target.reset(); }
  // Steps a held direction on and glides the bottle at (x, y) toward its
  // hole, for dt ms.
  void Update(float dt, float& x, float& y);
  // The hole the bottle is going to or is on, while the keys lead.
  std::optional<BoardModel::Cell> Target() const { return m_target; }

 private:
  void Step(HoleNavigation::Direction direction, float x, float y);

  // The hole the bottle is going to, if the keys moved it last.
  std::optional<BoardModel::Cell> m_target;
  // The direction held, and the time until it steps on.
  std::optional<HoleNavigation::Direction> m_held;
  float m_untilRepeat = 0.0f;
  bool m_selectHeld = false;
  // Escape put a tree back and has not been let go since.
  bool m_escapeTaken = false;
};
