#pragma once

#include <GL/gl.h>

#include <string>

// The GL state that every drawing routine must leave as it found it.
struct GlState {
  bool depthTest = false;
  bool texture2D = false;
  bool blend = false;
  bool lighting = false;
  bool light0 = false;
  bool light1 = false;
  bool colorMaterial = false;
  GLint depthFunc = 0;
  GLint blendSrc = 0;
  GLint blendDst = 0;
  GLint matrixMode = 0;
  GLint modelviewDepth = 0;
  GLint projectionDepth = 0;
  GLint listBase = 0;

  static GlState Capture();
  bool operator==(const GlState&) const = default;
  std::string Describe() const;
};

// The resting state the scene setup leaves (modelview depth 1).
GlState RestingGlState();
