#include "gfx/DisplayList.h"

DisplayList::~DisplayList() { Release(); }

bool DisplayList::Begin() {
  Release();
  m_name = glGenLists(1);
  if (m_name == 0) return false;
  glNewList(m_name, GL_COMPILE);
  return true;
}

bool DisplayList::Call() const {
  if (m_name == 0) return false;
  glCallList(m_name);
  return true;
}

void DisplayList::Release() {
  if (m_name != 0) glDeleteLists(m_name, 1);
  m_name = 0;
}
