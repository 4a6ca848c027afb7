#include "gfx/FontFace.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace {

struct PatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

// Windows weights run 1..1000 like OpenType's; 0 means "don't care", which
// Windows treats as normal (400).
int FontconfigWeight(int weight) {
  if (weight <= 0) weight = 400;
  return FcWeightFromOpenType(std::clamp(weight, 1, 1000));
}

}  // namespace

bool FontFace::Locate(const char* family, int weight, bool italic, Location& location) {
  PatternPtr pattern(FcPatternCreate());
  if (pattern == nullptr) return false;
  if (family != nullptr && family[0] != '\0') {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  }
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FontconfigWeight(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  // A null configuration is fontconfig's current one, loaded on first use
  // and kept by the library for the rest of the process.
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return false;
  FcDefaultSubstitute(pattern.get());

  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
  if (match == nullptr || result != FcResultMatch) return false;

  FcChar8* file = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) return false;
  int index = 0;
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  location.path = reinterpret_cast<const char*>(file);
  location.index = index;
  return true;
}

bool FontFace::Open(const Location& location) {
  m_face.reset();
  if (m_library == nullptr) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return false;
    m_library.reset(library);
  }
  FT_Face face = nullptr;
  if (FT_New_Face(m_library.get(), location.path.c_str(), location.index, &face) != 0) return false;
  m_face.reset(face);
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    m_face.reset();
    return false;
  }
  return true;
}
