#include "tests/support/GlState.h"

#include <sstream>

GlState GlState::Capture() {
  GlState s;
  s.depthTest = glIsEnabled(GL_DEPTH_TEST);
  s.texture2D = glIsEnabled(GL_TEXTURE_2D);
  s.blend = glIsEnabled(GL_BLEND);
  s.lighting = glIsEnabled(GL_LIGHTING);
  s.light0 = glIsEnabled(GL_LIGHT0);
  s.light1 = glIsEnabled(GL_LIGHT1);
  s.colorMaterial = glIsEnabled(GL_COLOR_MATERIAL);
  glGetIntegerv(GL_DEPTH_FUNC, &s.depthFunc);
  glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
  glGetIntegerv(GL_BLEND_DST, &s.blendDst);
  glGetIntegerv(GL_MATRIX_MODE, &s.matrixMode);
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelviewDepth);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &s.projectionDepth);
  glGetIntegerv(GL_LIST_BASE, &s.listBase);
  return s;
}

std::string GlState::Describe() const {
  std::ostringstream out;
  out << "depthTest=" << depthTest << " texture2D=" << texture2D << " blend=" << blend << " lighting=" << lighting
      << " light0=" << light0 << " light1=" << light1 << " colorMaterial=" << colorMaterial << " depthFunc=0x"
      << std::hex << depthFunc << " blend=(0x" << blendSrc << ",0x" << blendDst << ") matrixMode=0x" << matrixMode
      << std::dec << " modelviewDepth=" << modelviewDepth << " projectionDepth=" << projectionDepth
      << " listBase=" << listBase;
  return out.str();
}

GlState RestingGlState() {
  GlState s;
  s.depthTest = true;
  s.texture2D = true;
  s.blend = false;
  s.lighting = true;
  s.light0 = true;
  s.light1 = true;
  s.colorMaterial = true;
  s.depthFunc = GL_LEQUAL;
  s.blendSrc = GL_ONE;
  s.blendDst = GL_ONE;
  s.matrixMode = GL_MODELVIEW;
  s.modelviewDepth = 1;
  s.projectionDepth = 1;
  s.listBase = 0;
  return s;
}
