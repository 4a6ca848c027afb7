#pragma once

#include <GL/gl.h>

// One GL display list, compiled once and called any number of times. Static
// geometry (GLU quadrics) is recorded here instead of being generated vertex
// by vertex every frame. Deleted with the object; needs the GL context
// current for all of it.
class DisplayList {
 public:
  DisplayList() = default;
  ~DisplayList();
  DisplayList(const DisplayList&) = delete;
  DisplayList& operator=(const DisplayList&) = delete;

  // Records what draw issues into a new list, replacing any held before.
  // False (and no list held) when GL has no list to give.
  template <typename Draw>
  bool Compile(Draw draw) {
    if (!Begin()) return false;
    draw();
    glEndList();
    return true;
  }
  // Runs the list; false, drawing nothing, when none is held.
  bool Call() const;
  void Release();
  GLuint Name() const { return m_name; }

 private:
  bool Begin();

  GLuint m_name = 0;
};
