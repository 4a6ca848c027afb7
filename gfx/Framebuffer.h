#pragma once

#include <GL/gl.h>

// An offscreen colour and depth target (a framebuffer object with a colour
// texture and a depth renderbuffer) standing in for the window: the same
// size, the formats of the window's buffers, and drawn into with the rows
// in the window's order. What is drawn into it under the window's viewport
// and matrices is what drawing into the window would have made, and copies
// back bit for bit, depth included. Deleted with the object; needs its GL
// context current for all of it.
class Framebuffer {
 public:
  Framebuffer() = default;
  ~Framebuffer();
  Framebuffer(const Framebuffer&) = delete;
  Framebuffer& operator=(const Framebuffer&) = delete;

  // Whether the current context offers framebuffer objects and the choice
  // of the clip origin: GL 4.5.
  static bool Available();
  // Makes a target of the window's size, with the formats of the
  // framebuffer bound for drawing now, replacing any held. False, and
  // nothing held, when those formats have no offscreen match (a
  // multisampled window, an unusual colour depth) or GL refuses the target.
  [[nodiscard]] bool Make(int width, int height);
  // Whether a target is held and its objects still exist: not after its
  // context was lost or while another context is current.
  bool Held() const;
  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // Runs draw into the target as into the window, then binds again the
  // framebuffer bound before. Viewport and clip origin are as they were.
  template <typename Draw>
  void DrawInto(Draw draw) {
    const Bound before = BeginDrawing();
    draw();
    EndDrawing(before);
  }
  // Copies the window rectangle's colour and depth from the target into
  // the framebuffer bound for drawing, the window it was made for.
  void CopyOut(int x, int y, int width, int height) const;
  void Release();

 private:
  // What drawing into the target changes, to be put back after.
  struct Bound {
    GLint framebuffer;
    GLint viewport[4];
    GLint clipOrigin;
    GLint clipDepth;
  };
  Bound BeginDrawing() const;
  static void EndDrawing(const Bound& before);

  GLuint m_framebuffer = 0;
  GLuint m_color = 0;
  GLuint m_depth = 0;
  int m_width = 0;
  int m_height = 0;
};
