#include "gfx/GlFont.h"

GlFont::~GlFont() {
  if (m_listBase != 0) glDeleteLists(m_listBase, 256);
}
