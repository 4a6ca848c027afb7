#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <optional>

#include "gfx/Framebuffer.h"

class PegBoard;

// Draws a board as PegBoard::Draw does, to the same picture and depth, but
// most frames for a fraction of the cost: the standing trees are drawn once
// into an offscreen layer and copied into each frame, colour and depth, as
// long as nothing they depend on changes; only the trees that move are
// drawn every frame, after the copy and depth-tested against it, so that
// whatever the frame draws next (the snow) meets the same depth as before.
//
// The layer is drawn again when the board's standing trees change (a tree
// lifted, set down, jumped, gone from its hole), or the viewport, the
// matrices or the current colour differ from those it was drawn under, or
// its framebuffer is gone with a lost GL context. Without framebuffer
// objects, or for a window whose formats have no offscreen match, the board
// is drawn directly.
class BoardLayer {
 public:
  BoardLayer() = default;
  BoardLayer(const BoardLayer&) = delete;
  BoardLayer& operator=(const BoardLayer&) = delete;

  // The size of the window drawn into, which the layer takes; until it is
  // given, the board is drawn directly.
  void Fit(int windowWidth, int windowHeight);
  // Clears the window and draws the board under the current viewport and
  // matrices into it. Where the layer's copy covers the whole window it
  // stands in for the clear, which on a software renderer costs a pass over
  // every pixel and a hand-off to its threads.
  void Draw(const PegBoard& board);
  // How many times the standing trees have been drawn into the layer.
  int Redraws() const { return m_redraws; }

 private:
  // Everything the standing trees' picture depends on.
  struct Key {
    std::uint64_t revision = 0;
    std::array<GLint, 4> viewport{};
    std::array<GLfloat, 16> projection{};
    std::array<GLfloat, 16> modelview{};
    std::array<GLfloat, 4> color{};
    bool operator==(const Key&) const = default;
  };
  static Key KeyNow(const PegBoard& board);
  // Whether the layer can be used under this key, making its framebuffer
  // when there is none of the window's size.
  bool Ready(const Key& key);

  Framebuffer m_target;
  int m_windowWidth = 0;
  int m_windowHeight = 0;
  std::optional<Key> m_drawn;
  // Framebuffer objects are missing or cannot match the window.
  bool m_unusable = false;
  int m_redraws = 0;
};
