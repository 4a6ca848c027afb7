#include "shell/FrameRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

void FrameRenderer::Draw(const GamePlay& play, const Texture& bottle) {
  // The board's layer clears the window itself, or copies over all of it.
  if (play.State() != StatePlaying) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  switch (play.State()) {
    case StatePlaying:
      glTranslatef(0.0f, 0.0f, kBoardZ);
      m_boardLayer.Draw(play.Board());
      play.Snow().Draw();
      DrawCursor(play, bottle);
      break;
    case StateIntro:
      play.Intro().Draw();
      break;
    case StateBoardExit:
      play.Snow().Draw();
      glTranslatef(0.0f, 0.0f, play.ExitZ());
      glRotatef(play.ExitSpin(), 0.0f, 0.0f, 1.0f);
      play.Board().Draw();
      break;
    case StateFinale:
      play.Finale().Draw();
      break;
  }
}

void FrameRenderer::DrawCursor(const GamePlay& play, const Texture& bottle) {
  glPushMatrix();
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  bottle.Bind();
  const float z = play.Dragging() ? 0.75f : 0.0f;
  const float x = play.CursorX();
  const float y = play.CursorY();
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 1.0f);
  glVertex3f(x, y, z);
  glTexCoord2f(0.0f, 0.0f);
  glVertex3f(x, y - 1.0f, z);
  glTexCoord2f(1.0f, 0.0f);
  glVertex3f(x + 0.75f, y - 1.0f, z);
  glTexCoord2f(1.0f, 1.0f);
  glVertex3f(x + 0.75f, y, z);
  glEnd();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glPopMatrix();
}

void FrameRenderer::TraceHoles(GameTrace& trace) {
  // Each hole's centre through the projection in force and the board's
  // place in front of the eye, so that a harness finds the holes on the
  // screen without a projection of its own.
  GLdouble projection[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  GLdouble board[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, kBoardZ, 1};
  const GLint picture[4] = {0, 0, 1, 1};
  for (int c = 0; c < BoardModel::Size; ++c) {
    for (int r = 0; r < BoardModel::Size; ++r) {
      if (!BoardModel::IsHole(c, r)) continue;
      const float x = BoardModel::BoardX(c);
      const float y = BoardModel::BoardY(r);
      GLdouble px = 0.0;
      GLdouble py = 0.0;
      GLdouble pz = 0.0;
      if (gluProject(x, y, 0.0, board, projection, picture, &px, &py, &pz) == GL_TRUE) {
        trace.Hole(c, r, x, y, px, 1.0 - py);
      }
    }
  }
}
