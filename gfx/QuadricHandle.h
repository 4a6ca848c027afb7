#pragma once

#include <GL/glu.h>

#include <memory>

// Owns one GLU quadric object and deletes it with gluDeleteQuadric.
struct QuadricDeleter {
  void operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
};
using QuadricHandle = std::unique_ptr<GLUquadric, QuadricDeleter>;
