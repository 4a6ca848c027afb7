#pragma once

#include "gfx/GlFont.h"

class DrawSurface;

struct FontStyle {
  bool italic = false;
  bool underline = false;
};

// Six floats per glyph, in em units.
struct GlyphMetrics {
  float blackBoxX = 0;
  float blackBoxY = 0;
  float originX = 0;
  float originY = 0;
  float cellIncX = 0;
  float cellIncY = 0;
};

// 256 display lists of filled glyph outlines, one per Windows-1252 code.
class OutlineFont : public GlFont {
 public:
  OutlineFont();
  ~OutlineFont() override;
  bool Create(DrawSurface* surface, const char* faceName, int height, float extrusion, int weight, FontStyle style);
  void Print(int align, const char* format, ...) override;
  const GlyphMetrics& Metrics(unsigned char code) const;
};
