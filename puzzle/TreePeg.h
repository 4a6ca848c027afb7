#pragma once

#include "gfx/DisplayList.h"
#include "gfx/QuadricHandle.h"

#include <GL/glu.h>

#include <cstdint>
#include <memory>

class Texture;

enum PegState : std::int32_t { Standing = 0, Lifted = 1, Gone = 2, Leaving = 3 };
enum LeaveStyle : std::int32_t { Rise = 0, Shrink = 1 };

// One peg of the puzzle, drawn as a small fir tree: a textured cone whose tip
// is the peg's origin, on a trunk that points away from the viewer (-z).
// Update advances the wobble or the leaving animation; Draw only draws.
class TreePeg {
 public:
  TreePeg() = default;
  virtual ~TreePeg() = default;
  TreePeg(const TreePeg&) = delete;
  TreePeg& operator=(const TreePeg&) = delete;

  // Keeps the two (non-owned, possibly null) textures, creates the peg's
  // quadric and records its cone and trunk once. Needs the GL context
  // current.
  bool Attach(Texture* top, Texture* trunk);
  void SetPosition(float newX, float newY, float newZ);
  // Moves the peg to the centre of a hole and records the hole.
  void SetCell(int newColumn, int newRow);
  void SetState(PegState newState);
  // Hit test against the square of half side 0.35 around the peg; a hit
  // lifts the peg. Gone and Leaving pegs are never hit.
  bool TryLift(float px, float py);
  // Advances the wobble of a lifted peg or the leaving animation by dt ms.
  // Touches no GL.
  void Update(float dt);
  // Draws the peg as it stands now; a Gone peg draws nothing.
  void Draw() const;

  int Column() const { return column; }
  int Row() const { return row; }
  PegState State() const { return state; }
  float X() const { return x; }
  float Y() const { return y; }
  float Z() const { return z; }
  float PrevX() const { return prevX; }
  float PrevY() const { return prevY; }
  float TiltX() const { return tiltX; }
  float TiltY() const { return tiltY; }
  float TiltRateX() const { return tiltRateX; }
  float TiltRateY() const { return tiltRateY; }
  float LeaveScale() const { return leaveScale; }
  LeaveStyle Style() const { return leaveStyle; }
  bool HasQuadric() const { return quadric != nullptr; }

  static constexpr float LiftHeight = 0.75f;
  static constexpr float HitHalfSide = 0.35f;

 private:
  Texture* topTexture = nullptr;
  Texture* trunkTexture = nullptr;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  QuadricHandle quadric;
  DisplayList topShape;
  DisplayList trunkShape;
  PegState state = Standing;
  int column = 0;
  int row = 0;
  float tiltX = 0.0f;
  float tiltY = 0.0f;
  float tiltRateX = 0.0f;
  float tiltRateY = 0.0f;
  float prevX = 0.0f;
  float prevY = 0.0f;
  float leaveScale = 1.0f;
  LeaveStyle leaveStyle = Rise;
};
