#pragma once

class Texture;
class SoundBank;

// The cross-shaped board, its pegs and the jump rule.
class PegBoard {
 public:
  PegBoard() = default;
  virtual ~PegBoard() = default;
  void Setup(Texture* topTexture, Texture* trunkTexture, SoundBank* soundBank);
  void UpdateAndDraw(float dt);
  bool Pick(float x, float y);
  void Drag(float x, float y);
  void Drop(float x, float y);
  bool NoMoveLeft() const;
  int CountPegs() const;
};
