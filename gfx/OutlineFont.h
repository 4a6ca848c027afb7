#pragma once

#include <array>
#include <bitset>
#include <string>

#include "gfx/FontFace.h"
#include "gfx/GlFont.h"

class DrawSurface;
struct FT_FaceRec_;

struct FontStyle {
  bool italic = false;
  bool underline = false;
};

// Six floats per glyph, in em units: the black box's size, its top-left
// corner relative to the glyph origin, and the step to the next origin.
struct GlyphMetrics {
  float blackBoxX = 0;
  float blackBoxY = 0;
  float originX = 0;
  float originY = 0;
  float cellIncX = 0;
  float cellIncY = 0;
};

// 256 display lists of filled glyph outlines, one per Windows-1252 code.
// Geometry and metrics are in em units (the em square is 1.0); callers scale.
// The metrics of every code are read when the font is made; a glyph's
// outline is tessellated and compiled when it is first printed, so that a
// font costs at start only the glyphs the first text needs.
class OutlineFont : public GlFont {
 public:
  OutlineFont();
  ~OutlineFont() override;

  // Reserves 256 lists for the installed face that best matches faceName,
  // weight (Windows scale, 400 normal, 700 bold) and style, and reads its
  // metrics.
  // height does not set the size on screen. extrusion > 0 gives the glyphs
  // a back face at z = -extrusion and side walls. Underline is not drawn.
  // Returns false only when no lists could be reserved; without any usable
  // face the lists draw nothing and advance by nothing.
  [[nodiscard]] bool Create(DrawSurface* surface, const char* faceName, int height, float extrusion, int weight, FontStyle style);

  // Draws the text (at most its first 255 characters), each byte a glyph,
  // at the current origin, right aligned or centred on it for AlignRight or
  // AlignCenter, left aligned for any other value. Leaves the modelview
  // matrix moved past the text; callers push and pop it. Not to be called
  // while a display list is being compiled: glyphs not printed before are
  // compiled into their lists here.
  void Print(int align, std::string_view text) const override;

  const GlyphMetrics& Metrics(unsigned char code) const { return m_metrics[code]; }

 private:
  // The fontconfig answer for the last family, weight and slant asked for.
  struct FaceCache {
    bool valid = false;
    std::string family;
    int weight = 0;
    bool italic = false;
    bool found = false;
    std::string path;
    int index = 0;
  };

  bool FindFace(const char* faceName, int weight, bool italic, std::string& path, int& index);
  void ReadMetrics();
  // Compiles the lists of the codes in text that have none yet.
  void BuildGlyphs(std::string_view text) const;

  std::array<GlyphMetrics, 256> m_metrics{};
  FaceCache m_faceCache;
  // The face the glyphs are built from, from Create on; closed when none
  // could be found.
  mutable FontFace m_face;
  float m_extrusion = 0;
  // The codes whose lists are compiled.
  mutable std::bitset<256> m_built;
};
