#include "puzzle/HoleNavigation.h"

#include <cmath>

namespace {
struct Step {
  int column;
  int row;
};

Step StepOf(HoleNavigation::Direction direction) {
  switch (direction) {
    case HoleNavigation::Direction::Left: return {-1, 0};
    case HoleNavigation::Direction::Right: return {1, 0};
    case HoleNavigation::Direction::Up: return {0, -1};
    case HoleNavigation::Direction::Down: return {0, 1};
  }
  return {0, 0};
}

// How far a hole lies from a point for a move in `step`'s direction: the
// distance aside counts twice, so that the bottle goes straight where it can.
// A hole less than half a hole ahead is beside the point, not ahead of it.
struct Reach {
  float ahead;
  float cost;
};

Reach ReachOf(float x, float y, Step step, BoardModel::Cell hole) {
  const float dx = BoardModel::BoardX(hole.column) - x;
  const float dy = BoardModel::BoardY(hole.row) - y;
  // Board y grows upward, rows downward.
  const float ahead = static_cast<float>(step.column) * dx - static_cast<float>(step.row) * dy;
  const float aside = step.column != 0 ? std::fabs(dy) : std::fabs(dx);
  return {ahead, ahead + 2.0f * aside};
}
}  // namespace

HoleNavigation::Cell HoleNavigation::Next(float x, float y, Direction direction) {
  const Step step = StepOf(direction);
  const Cell here = BoardModel::CellAt(x, y);
  if (here != BoardModel::NoCell) {
    for (Cell c{here.column + step.column, here.row + step.row};
         c.column >= 0 && c.column < BoardModel::Size && c.row >= 0 && c.row < BoardModel::Size;
         c = {c.column + step.column, c.row + step.row}) {
      if (BoardModel::IsHole(c)) return c;
    }
    return here;
  }
  Cell bestAhead = BoardModel::NoCell;
  float bestAheadCost = 0.0f;
  Cell nearest = BoardModel::NoCell;
  float nearestDistance = 0.0f;
  for (int c = 0; c < BoardModel::Size; ++c) {
    for (int r = 0; r < BoardModel::Size; ++r) {
      if (!BoardModel::IsHole(c, r)) continue;
      const Reach reach = ReachOf(x, y, step, {c, r});
      if (reach.ahead > 0.5f && (bestAhead == BoardModel::NoCell || reach.cost < bestAheadCost)) {
        bestAhead = {c, r};
        bestAheadCost = reach.cost;
      }
      const float distance = std::hypot(BoardModel::BoardX(c) - x, BoardModel::BoardY(r) - y);
      if (nearest == BoardModel::NoCell || distance < nearestDistance) {
        nearest = {c, r};
        nearestDistance = distance;
      }
    }
  }
  return bestAhead != BoardModel::NoCell ? bestAhead : nearest;
}
