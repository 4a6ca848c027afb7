#include <gtest/gtest.h>

#include "gfx/FontFace.h"

namespace {

TEST(FontFaceTest, LocatesTheRequestedWeightAndSlant) {
  struct Case {
    const char* family;
    int weight;  // Windows scale: 400 normal, 700 bold, 800 extra bold
    bool italic;
    bool wantBold;
  };
  const Case cases[] = {
      {"Arial", 800, false, true},  {"Arial", 800, true, true},   {"Arial", 400, false, false},
      {"Arial", 0, true, false},    {"Arial", 5000, false, true}, {"", 800, false, true},
  };
  for (const Case& c : cases) {
    FontFace::Location location;
    ASSERT_TRUE(FontFace::Locate(c.family, c.weight, c.italic, location)) << c.family << " " << c.weight;
    FontFace face;
    ASSERT_TRUE(face.Open(location)) << location.path;
    const FT_Long style = face.Face()->style_flags;
    EXPECT_EQ((style & FT_STYLE_FLAG_BOLD) != 0, c.wantBold) << location.path << " for weight " << c.weight;
    EXPECT_EQ((style & FT_STYLE_FLAG_ITALIC) != 0, c.italic) << location.path;
  }
}

TEST(FontFaceTest, MissingFileDoesNotOpen) {
  FontFace face;
  EXPECT_FALSE(face.Open(FontFace::Location{"/nonexistent/font.ttf", 0}));
  EXPECT_FALSE(face.IsOpen());
}

}  // namespace
