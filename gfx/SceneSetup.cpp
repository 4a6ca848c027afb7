#include "gfx/SceneSetup.h"

#include <GL/gl.h>
#include <GL/glu.h>

void ApplyRestingGlState() {
  static const GLfloat globalAmbient[] = {0.25f, 0.25f, 0.25f, 1.0f};
  static const GLfloat lightAmbient[] = {-0.1f, -0.1f, -0.1f, 1.0f};
  static const GLfloat lightSpecular[] = {-0.1f, -0.1f, -0.1f, 1.0f};
  static const GLfloat lightDiffuse[] = {0.6f, 0.6f, 0.6f, 1.0f};
  static const GLfloat light0Position[] = {0.0f, -5.0f, 0.0f, 1.0f};
  static const GLfloat light1Position[] = {0.0f, 5.0f, 0.0f, 1.0f};
  static const GLfloat spotDirection[] = {0.0f, 0.0f, -1.0f};
  static const GLfloat materialSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};

  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glBlendFunc(GL_ONE, GL_ONE);
  glEnable(GL_TEXTURE_2D);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
  const GLfloat* positions[] = {light0Position, light1Position};
  for (int i = 0; i < 2; ++i) {
    const GLenum light = GL_LIGHT0 + i;
    glLightfv(light, GL_AMBIENT, lightAmbient);
    glLightfv(light, GL_SPECULAR, lightSpecular);
    glLightfv(light, GL_DIFFUSE, lightDiffuse);
    glLightfv(light, GL_POSITION, positions[i]);
  }
  glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 10.0f);
  glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 60.0f);
  glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, spotDirection);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
  glMaterialf(GL_FRONT, GL_SHININESS, 32.0f);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
}

void ApplyProjection(int width, int height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(height), 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
