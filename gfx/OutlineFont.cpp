#include "gfx/OutlineFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx/GlyphOutliner.h"

namespace {

// Unicode code points of the Windows-1252 codes 0x80..0x9F; 0 marks the five
// codes the code page leaves undefined.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

// The character a Windows-1252 byte stands for, or 0 for control codes and
// undefined codes, which have no glyph to draw.
std::uint32_t CodePoint(unsigned code) {
  if (code < 0x20 || code == 0x7F) return 0;
  if (code >= 0x80 && code < 0xA0) return kCp1252High[code - 0x80];
  return code;  // ASCII and Latin-1 match Unicode
}

// Largest distance, in font design units, between a flattened edge and the
// true outline.
constexpr float kFlatness = 1.0f;

constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM;

// Loads the glyph of a Windows-1252 code into the face's slot; false for a
// code the face has no glyph for.
bool LoadCode(FT_Face face, unsigned code) {
  const std::uint32_t codePoint = CodePoint(code);
  const FT_UInt glyph = codePoint != 0 ? FT_Get_Char_Index(face, codePoint) : 0;
  return glyph != 0 && FT_Load_Glyph(face, glyph, kLoadFlags) == 0;
}

bool HasOutline(FT_Face face) {
  return face->glyph->format == FT_GLYPH_FORMAT_OUTLINE && face->glyph->outline.n_contours > 0;
}

// Compiles one glyph's geometry into the open display list. back is scratch
// space for the back face's triangles.
void EmitShape(const GlyphOutliner& outliner, const GlyphOutliner::Shape& shape, float scale, float extrusion,
               std::vector<std::uint32_t>& back) {
  const auto& points = outliner.Points();
  const auto& indices = outliner.Indices();
  const auto& runs = outliner.Runs();
  glNormal3f(0, 0, 1);
  for (std::uint32_t r = shape.runFirst; r < shape.runFirst + shape.runCount; ++r) {
    glBegin(runs[r].mode);
    for (std::uint32_t i = runs[r].first; i < runs[r].first + runs[r].count; ++i) {
      const auto& p = points[indices[i]];
      glVertex2f(p.x * scale, p.y * scale);  // the front face lies in z = 0
    }
    glEnd();
  }
  if (extrusion <= 0) return;

  back.clear();
  outliner.AppendTriangles(shape, back);
  if (!back.empty()) {
    // The back face looks down -z, so its triangles run the other way round.
    glNormal3f(0, 0, -1);
    glBegin(GL_TRIANGLES);
    for (std::size_t i = back.size(); i > 0; --i) {
      const auto& p = points[back[i - 1]];
      glVertex3f(p.x * scale, p.y * scale, -extrusion);
    }
    glEnd();
  }

  // Side walls: one quad per contour edge, its normal pointing away from the
  // filled area. Edges are walked with the filling on their right.
  const auto& contours = outliner.Contours();
  glBegin(GL_QUADS);
  for (std::uint32_t c = shape.contourFirst; c < shape.contourFirst + shape.contourCount; ++c) {
    const auto& contour = contours[c];
    for (std::uint32_t i = 0; i < contour.count; ++i) {
      const auto& a = points[contour.first + i];
      const auto& b = points[contour.first + (i + 1) % contour.count];
      const auto& from = shape.filledOnRight ? a : b;
      const auto& to = shape.filledOnRight ? b : a;
      const float dx = to.x - from.x;
      const float dy = to.y - from.y;
      const float length = std::sqrt(dx * dx + dy * dy);
      if (length == 0) continue;
      glNormal3f(-dy / length, dx / length, 0);
      glVertex3f(from.x * scale, from.y * scale, 0);
      glVertex3f(to.x * scale, to.y * scale, 0);
      glVertex3f(to.x * scale, to.y * scale, -extrusion);
      glVertex3f(from.x * scale, from.y * scale, -extrusion);
    }
  }
  glEnd();
}

}  // namespace

OutlineFont::OutlineFont() = default;

OutlineFont::~OutlineFont() = default;

bool OutlineFont::Create(DrawSurface*, const char* faceName, int, float extrusion, int weight, FontStyle style) {
  if (m_listBase != 0) {
    glDeleteLists(m_listBase, 256);
    m_listBase = 0;
  }
  m_metrics.fill(GlyphMetrics{});
  m_built.reset();
  m_extrusion = extrusion;
  const GLuint base = glGenLists(256);
  if (base == 0) return false;
  m_listBase = base;

  FontFace::Location location;
  if (FindFace(faceName, weight, style.italic, location.path, location.index) && m_face.Open(location)) {
    ReadMetrics();
  } else {
    // No outlines to be had: every list stays empty and advances by
    // nothing, so Print still runs and simply draws nothing.
    m_face.Close();
    m_built.set();
  }
  return true;
}

bool OutlineFont::FindFace(const char* faceName, int weight, bool italic, std::string& path, int& index) {
  const char* family = faceName != nullptr ? faceName : "";
  FaceCache& cache = m_faceCache;
  const bool hit = cache.valid && cache.family == family && cache.weight == weight && cache.italic == italic;
  if (!hit) {
    FontFace::Location location;
    cache.valid = true;
    cache.family = family;
    cache.weight = weight;
    cache.italic = italic;
    cache.found = FontFace::Locate(family, weight, italic, location);
    cache.path = location.path;
    cache.index = location.index;
  }
  path = cache.path;
  index = cache.index;
  return cache.found;
}

void OutlineFont::ReadMetrics() {
  FT_Face face = m_face.Face();
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  const float scale = 1.0f / static_cast<float>(face->units_per_EM);
  // Codes without a glyph keep the width of a space, so that a stray
  // character shows as a gap rather than running its neighbours together.
  float spaceAdvance = 0.25f;
  const FT_UInt space = FT_Get_Char_Index(face, ' ');
  if (space != 0 && FT_Load_Glyph(face, space, kLoadFlags) == 0) {
    spaceAdvance = static_cast<float>(face->glyph->advance.x) * scale;
  }
  for (unsigned code = 0; code < 256; ++code) {
    GlyphMetrics& metrics = m_metrics[code];
    metrics.cellIncX = spaceAdvance;
    if (!LoadCode(face, code)) continue;
    metrics.cellIncX = static_cast<float>(face->glyph->advance.x) * scale;
    if (!HasOutline(face)) continue;
    FT_BBox box{};
    FT_Outline_Get_BBox(&face->glyph->outline, &box);
    metrics.blackBoxX = static_cast<float>(box.xMax - box.xMin) * scale;
    metrics.blackBoxY = static_cast<float>(box.yMax - box.yMin) * scale;
    metrics.originX = static_cast<float>(box.xMin) * scale;
    metrics.originY = static_cast<float>(box.yMax) * scale;
  }
}

void OutlineFont::BuildGlyphs(std::string_view text) const {
  std::bitset<256> wanted;
  for (char c : text) wanted.set(static_cast<unsigned char>(c));
  wanted &= ~m_built;
  if (wanted.none()) return;

  FT_Face face = m_face.Face();
  const float scale = 1.0f / static_cast<float>(face->units_per_EM);
  // The text's outlines are tessellated first and compiled afterwards:
  // keeping the tessellator's and the GL driver's work apart is markedly
  // faster than interleaving them glyph by glyph.
  GlyphOutliner outliner(kFlatness);
  std::array<GlyphOutliner::Shape, 256> shapes{};
  for (unsigned code = 0; code < 256; ++code) {
    if (wanted.test(code) && LoadCode(face, code) && HasOutline(face)) outliner.Add(face->glyph->outline, shapes[code]);
  }

  std::vector<std::uint32_t> scratch;
  for (unsigned code = 0; code < 256; ++code) {
    if (!wanted.test(code)) continue;
    glNewList(m_listBase + code, GL_COMPILE);
    EmitShape(outliner, shapes[code], scale, m_extrusion, scratch);
    glTranslatef(m_metrics[code].cellIncX, m_metrics[code].cellIncY, 0);
    glEndList();
  }
  m_built |= wanted;
}

void OutlineFont::Print(int align, std::string_view text) const {
  if (m_listBase == 0) return;
  constexpr std::size_t kMaxLength = 255;
  const int length = static_cast<int>(text.size() < kMaxLength ? text.size() : kMaxLength);

  float width = 0;
  for (int i = 0; i < length; ++i) width += m_metrics[static_cast<unsigned char>(text[i])].cellIncX;
  if (align == AlignRight) {
    glTranslatef(-width, 0, 0);
  } else if (align == AlignCenter) {
    glTranslatef(-width * 0.5f, 0, 0);
  }
  if (length == 0) return;

  BuildGlyphs(text.substr(0, static_cast<std::size_t>(length)));
  glPushAttrib(GL_LIST_BIT);
  glListBase(m_listBase);
  glCallLists(length, GL_UNSIGNED_BYTE, text.data());
  glPopAttrib();
}
