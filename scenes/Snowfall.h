#pragma once

class Texture;

// 500 tumbling snowflakes.
class Snowfall {
 public:
  Snowfall() = default;
  virtual ~Snowfall() = default;
  void Init(Texture* texture);
  void UpdateAndDraw(float dt);
};
