#pragma once

#include <vector>

#include "scenes/Flake.h"

class Texture;

// 500 textured squares that tumble about three axes while they fall; a flake
// that reaches y = -15 starts again at y = 25 at a new random place.
// Random numbers come from std::rand(), which the game window seeds once.
class Snowfall {
 public:
  static constexpr int kFlakeCount = 500;

  // Allocates the flakes once; they all sit at the origin until Init.
  Snowfall();
  virtual ~Snowfall() = default;
  Snowfall(const Snowfall&) = delete;
  Snowfall& operator=(const Snowfall&) = delete;

  // Keeps the texture (not owned; null draws untextured) and scatters the
  // flakes. Touches no GL.
  void Init(Texture* texture);
  // Moves and turns every flake by dt ms; a flake that has fallen far enough
  // starts again at the top. Touches no GL.
  void Update(float dt);
  // Draws every flake where it stands.
  void Draw() const;
  // Update, then Draw.
  void UpdateAndDraw(float dt);

  const Flake& FlakeAt(int index) const { return m_flakes[static_cast<std::size_t>(index)]; }
  // Puts one flake at a chosen place and speed, so tests can reach the
  // respawn height on purpose.
  void PlaceFlake(int index, const Flake& flake) { m_flakes[static_cast<std::size_t>(index)] = flake; }

 private:
  void Respawn(Flake& flake);

  // One corner of a flake as the single array draw takes it
  // (GL_T2F_N3F_V3F): texture coordinate, normal, position.
  struct FlakeVertex {
    float s, t;
    float nx, ny, nz;
    float x, y, z;
  };

  std::vector<Flake> m_flakes;
  // Draw's scratch space, filled anew on every call and kept for its
  // capacity: drawing allocates nothing after the first frame.
  mutable std::vector<FlakeVertex> m_vertices;
  Texture* m_texture = nullptr;
};
