#pragma once

// One snowflake: where it is, how it is turned and how fast it falls.
// Seven floats; lengths in GL units, angles in degrees, speed in units per ms.
struct Flake {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float angleX = 0.0f;
  float angleY = 0.0f;
  float angleZ = 0.0f;
  float fallSpeed = 0.0f;
};
