#pragma once

#include "puzzle/BoardModel.h"

// Where the cursor keys take the bottle: from hole to hole along a row or a
// column of the cross, never onto a place that is no hole.
class HoleNavigation {
 public:
  using Cell = BoardModel::Cell;
  // Up is toward row 0, the top of the board.
  enum class Direction { Left, Right, Up, Down };

  // The hole one step from the board point (x, y) in `direction`. From a
  // point on a hole: the next hole along its row or column, past any places
  // that are none, or that same hole at the board's edge. From a point on no
  // hole (the mouse left the bottle there): the nearest hole ahead, going
  // straight rather than aside, or the nearest hole of all when none lies
  // ahead.
  static Cell Next(float x, float y, Direction direction);
};
