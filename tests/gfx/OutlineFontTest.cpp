#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/OutlineFont.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// The game's own font request: "Arial", height 36, flat, weight 800.
bool CreateGameFont(OutlineFont& font, float extrusion = 0.0f) {
  return font.Create(nullptr, "Arial", 36, extrusion, 800, FontStyle{});
}

float SumOfAdvances(const OutlineFont& font, const std::string& text) {
  float sum = 0;
  for (char c : text) sum += font.Metrics(static_cast<unsigned char>(c)).cellIncX;
  return sum;
}

void ModelView(GLfloat m[16]) { glGetFloatv(GL_MODELVIEW_MATRIX, m); }

bool IsIdentity(const GLfloat m[16]) {
  for (int i = 0; i < 16; ++i) {
    if (m[i] != ((i % 5 == 0) ? 1.0f : 0.0f)) return false;
  }
  return true;
}

int LitPixels(const std::vector<std::uint8_t>& pixels) {
  int lit = 0;
  for (std::size_t i = 0; i + 2 < pixels.size(); i += 3) {
    if (pixels[i] + pixels[i + 1] + pixels[i + 2] > 0) ++lit;
  }
  return lit;
}

bool Lit(const HeadlessGl& gl, const std::vector<std::uint8_t>& pixels, double x, double y) {
  std::uint8_t rgb[3];
  gl.Pixel(pixels, static_cast<int>(x + 0.5), static_cast<int>(y + 0.5), rgb);
  return rgb[0] + rgb[1] + rgb[2] > 90;
}

// Saves the colour buffer under the test temp directory for a look by eye.
void SavePicture(const HeadlessGl& gl, const std::string& name) {
  gl.SaveBmp(::testing::TempDir() + name + ".bmp");
}

class OutlineFontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.Ok());
    gl.ResetScene();
  }
  // Untextured white text, the way the intro and finale draw it.
  void BeginText(float z, float scale) {
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glPushMatrix();
    glTranslatef(0, 0, z);
    glScalef(scale, scale, scale);
  }
  void EndText() {
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
  }

  HeadlessGl& gl = HeadlessGl::Shared();
};

TEST_F(OutlineFontTest, PrintWithoutListsDrawsNothingAndKeepsTheMatrix) {
  OutlineFont font;
  EXPECT_EQ(font.ListBase(), 0u);
  BeginText(-8, 1);
  font.Print(AlignCenter, "Sehr gut!");
  font.Print(AlignRight, "MERRY CHRISTMAS!!!");
  GLfloat m[16];
  ModelView(m);
  glLoadIdentity();  // compare against the bare scale and translation below
  EndText();
  EXPECT_FLOAT_EQ(m[12], 0);
  EXPECT_FLOAT_EQ(m[14], -8);
  EXPECT_EQ(LitPixels(gl.ReadPixels()), 0);
}

TEST_F(OutlineFontTest, EmptyTextLeavesTheMatrix) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  for (int align : {AlignLeft, AlignRight, AlignCenter}) {
    glLoadIdentity();
    font.Print(align, "");
    font.Print(align, std::string_view());
    GLfloat m[16];
    ModelView(m);
    EXPECT_TRUE(IsIdentity(m)) << "align " << align;
  }
  EXPECT_EQ(LitPixels(gl.ReadPixels()), 0);
}

TEST_F(OutlineFontTest, AlignmentShiftsByTheSummedAdvances) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  struct Case {
    const char* text;
    int align;
    float shift;  // fraction of the width moved to the left before drawing
  };
  const Case cases[] = {
      {"Sehr gut!", AlignCenter, 0.5f}, {"Sehr gut!", AlignRight, 1.0f},
      {"Sehr gut!", AlignLeft, 0.0f},   {"Sehr gut!", 3, 0.0f},
      {"Sehr gut!", -1, 0.0f},          {"Gl\xFC" "ckwunsch, sp\xE4t", AlignCenter, 0.5f},
      {"\xE4\xFC", AlignRight, 1.0f},   {"\xE4\xFC", -1, 0.0f},
  };
  for (const Case& c : cases) {
    const float width = SumOfAdvances(font, c.text);
    ASSERT_GT(width, 0.5f) << c.text;
    glLoadIdentity();
    font.Print(c.align, c.text);
    GLfloat m[16];
    ModelView(m);
    EXPECT_NEAR(m[12], width * (1.0f - c.shift), 1e-4f) << c.text << " align " << c.align;
    EXPECT_FLOAT_EQ(m[13], 0) << c.text;
    EXPECT_FLOAT_EQ(m[14], 0) << c.text;
  }
  glLoadIdentity();
}

TEST_F(OutlineFontTest, PrintDrawsPercentSignsAsTextAndLeavesTheListBaseAndState) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  glListBase(7);
  const GlState before = GlState::Capture();
  glPushMatrix();
  // Conversions in a text are plain characters: nothing is read for them.
  font.Print(AlignLeft, "%d Kugeln %s%n \xE4");
  GLfloat m[16];
  ModelView(m);
  glPopMatrix();
  EXPECT_EQ(GlState::Capture(), before) << GlState::Capture().Describe();
  EXPECT_NEAR(m[12], SumOfAdvances(font, "%d Kugeln %s%n \xE4"), 1e-4f);
  EXPECT_GT(font.Metrics('%').cellIncX, 0.1f);
  glListBase(0);
}

TEST_F(OutlineFontTest, OverlongTextIsCutTo255Characters) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  const std::string longText(400, 'x');
  const float advance = font.Metrics('x').cellIncX;
  glLoadIdentity();
  font.Print(AlignLeft, longText);
  GLfloat m[16];
  ModelView(m);
  EXPECT_NEAR(m[12], 255 * advance, 1e-3f);
  glLoadIdentity();
}

TEST_F(OutlineFontTest, CreateAgainReplacesTheLists) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  const GLuint first = font.ListBase();
  ASSERT_NE(first, 0u);
  ASSERT_TRUE(CreateGameFont(font));
  const GLuint second = font.ListBase();
  ASSERT_NE(second, 0u);
  for (GLuint i = 0; i < 256; ++i) {
    EXPECT_TRUE(glIsList(second + i)) << "new list " << i;
    const GLuint old = first + i;
    if (old < second || old >= second + 256) {
      EXPECT_FALSE(glIsList(old)) << "old list " << i;
    }
  }
}

TEST_F(OutlineFontTest, DestructionDeletesTheLists) {
  GLuint base = 0;
  {
    OutlineFont font;
    ASSERT_TRUE(CreateGameFont(font));
    base = font.ListBase();
  }
  for (GLuint i = 0; i < 256; ++i) EXPECT_FALSE(glIsList(base + i)) << i;
}

TEST_F(OutlineFontTest, MetricsAreInEmUnitsForEveryCode) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  const GlyphMetrics& m = font.Metrics('M');
  EXPECT_GT(m.cellIncX, 0.6f);  // a bold sans "M" is about 0.83 em wide
  EXPECT_LT(m.cellIncX, 1.1f);
  EXPECT_NEAR(m.blackBoxY, 0.716f, 0.05f);  // cap height
  EXPECT_NEAR(m.originY, m.blackBoxY, 0.01f);  // stands on the base line
  EXPECT_FLOAT_EQ(m.cellIncY, 0);
  EXPECT_LE(m.originX + m.blackBoxX, m.cellIncX);

  // Letters of the finale and the euro sign have glyphs of their own.
  for (int code : {0xE4, 0xFC, 0x80, int{'g'}}) {
    EXPECT_GT(font.Metrics(code).blackBoxX, 0.2f) << int(code);
    EXPECT_GT(font.Metrics(code).cellIncX, 0.4f) << int(code);
  }
  EXPECT_LT(font.Metrics('g').originY - font.Metrics('g').blackBoxY, 0) << "descender below the base line";

  // Control and undefined codes draw nothing but keep the width of a space.
  const float space = font.Metrics(' ').cellIncX;
  EXPECT_GT(space, 0.2f);
  for (int code : {0x00, 0x01, 0x0A, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_FLOAT_EQ(font.Metrics(code).blackBoxX, 0) << int(code);
    EXPECT_FLOAT_EQ(font.Metrics(code).cellIncX, space) << int(code);
  }
}

TEST_F(OutlineFontTest, UnknownFaceStillGivesListsAndGlyphs) {
  // fontconfig answers with its nearest face for any family name.
  OutlineFont font;
  ASSERT_TRUE(font.Create(nullptr, "No Such Family 12345", 36, 0.0f, 400, FontStyle{}));
  EXPECT_NE(font.ListBase(), 0u);
  EXPECT_GT(font.Metrics('A').cellIncX, 0.3f);
}

TEST_F(OutlineFontTest, CentredGreetingIsSymmetricAboutTheOrigin) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  const std::string text = "MERRY CHRISTMAS!!!";
  // Farther away rather than scaled down: below scale 1 the unnormalised
  // normals grow and the resting lights' negative specular turns text black.
  BeginText(-18, 1);
  double originX = 0, originY = 0;
  ASSERT_TRUE(gl.Project(0, 0, 0, originX, originY));
  // Where the ink should begin and end, from the metrics.
  const float width = SumOfAdvances(font, text);
  const GlyphMetrics& first = font.Metrics(text.front());
  const GlyphMetrics& last = font.Metrics(text.back());
  const float inkLeft = -width * 0.5f + first.originX;
  const float inkRight = width * 0.5f - last.cellIncX + last.originX + last.blackBoxX;
  double leftX = 0, rightX = 0, y = 0;
  ASSERT_TRUE(gl.Project(inkLeft, 0, 0, leftX, y));
  ASSERT_TRUE(gl.Project(inkRight, 0, 0, rightX, y));
  font.Print(AlignCenter, text.c_str());
  EndText();
  SavePicture(gl, "outline_font_greeting");

  const std::vector<std::uint8_t> pixels = gl.ReadPixels();
  int minX = gl.Width(), maxX = -1;
  for (int py = 0; py < gl.Height(); ++py) {
    for (int px = 0; px < gl.Width(); ++px) {
      std::uint8_t rgb[3];
      gl.Pixel(pixels, px, py, rgb);
      if (rgb[0] + rgb[1] + rgb[2] == 0) continue;
      minX = std::min(minX, px);
      maxX = std::max(maxX, px);
    }
  }
  ASSERT_GE(maxX, 0) << "nothing drawn";
  EXPECT_NEAR(minX, leftX, 2.0);
  EXPECT_NEAR(maxX + 1, rightX, 2.0);
  EXPECT_NEAR((minX + maxX + 1) * 0.5, originX, 3.0) << "ink from " << minX << " to " << maxX;
}

TEST_F(OutlineFontTest, CountersStayOpen) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  for (int code : {int{'O'}, int{'o'}, int{'D'}, int{'0'}, 0xD6}) {
    gl.ResetScene();
    const GlyphMetrics& m = font.Metrics(static_cast<unsigned char>(code));
    BeginText(-8, 3);
    // Centre the black box on the view axis.
    glTranslatef(-(m.originX + m.blackBoxX * 0.5f), -(m.originY - m.blackBoxY * 0.5f), 0);
    double centreX = 0, centreY = 0, strokeX = 0, strokeY = 0;
    gl.Project(m.originX + m.blackBoxX * 0.5f, m.originY - m.blackBoxY * 0.5f, 0, centreX, centreY);
    // A point just inside the left stroke, at the height of the centre.
    gl.Project(m.originX + 0.03f, m.originY - m.blackBoxY * 0.5f, 0, strokeX, strokeY);
    const char text[2] = {static_cast<char>(code), '\0'};
    font.Print(AlignLeft, text);
    EndText();
    SavePicture(gl, "outline_font_counter_" + std::to_string(code));
    const std::vector<std::uint8_t> pixels = gl.ReadPixels();
    EXPECT_FALSE(Lit(gl, pixels, centreX, centreY)) << "counter filled in code " << int(code);
    EXPECT_TRUE(Lit(gl, pixels, strokeX, strokeY)) << "stroke missing in code " << int(code);
  }
}

TEST_F(OutlineFontTest, ExtrudedGlyphsHaveDepthAndTheSameAdvances) {
  OutlineFont flat;
  OutlineFont deep;
  ASSERT_TRUE(CreateGameFont(flat));
  ASSERT_TRUE(CreateGameFont(deep, 0.3f));
  EXPECT_FLOAT_EQ(deep.Metrics('G').cellIncX, flat.Metrics('G').cellIncX);

  // Seen edge-on from the right, a flat text vanishes, an extruded one shows its walls.
  for (bool extruded : {false, true}) {
    gl.ResetScene();
    BeginText(-8, 1.5f);
    glRotatef(-90, 0, 1, 0);
    (extruded ? deep : flat).Print(AlignCenter, "Geschafft");
    EndText();
    const int lit = LitPixels(gl.ReadPixels());
    if (extruded) {
      EXPECT_GT(lit, 500);
    } else {
      EXPECT_LT(lit, 200);
    }
  }
  gl.ResetScene();
  BeginText(-8, 1.3f);
  glRotatef(-35, 0, 1, 0);
  glRotatef(20, 1, 0, 0);
  deep.Print(AlignCenter, "Geschafft");
  EndText();
  SavePicture(gl, "outline_font_extruded");
}

// Glyphs are compiled when first printed: a text whose glyphs were built
// over several earlier prints draws exactly as one printed first.
TEST_F(OutlineFontTest, GlyphsBuiltOverSeveralPrintsDrawAsThoseBuiltAtOnce) {
  const std::string_view greeting = "MERRY CHRISTMAS!!!";
  const auto picture = [&](OutlineFont& font) {
    gl.ResetScene();
    BeginText(-18, 1.0f);
    font.Print(AlignCenter, greeting);
    EndText();
    return gl.ReadPixels();
  };
  OutlineFont atOnce;
  ASSERT_TRUE(CreateGameFont(atOnce));
  const std::vector<std::uint8_t> expected = picture(atOnce);
  EXPECT_EQ(picture(atOnce), expected) << "printed again from its lists";

  OutlineFont piecemeal;
  ASSERT_TRUE(CreateGameFont(piecemeal));
  for (std::string_view part : {"MERRY", "CHRIST", "!"}) {
    glPushMatrix();
    piecemeal.Print(AlignLeft, part);
    glPopMatrix();
  }
  EXPECT_EQ(picture(piecemeal), expected);
  EXPECT_GT(LitPixels(expected), 2000);
}

TEST_F(OutlineFontTest, FinaleWordsPicture) {
  OutlineFont font;
  ASSERT_TRUE(CreateGameFont(font));
  BeginText(-8, 1.2f);
  glTranslatef(0, 0.6f, 0);
  glPushMatrix();
  font.Print(AlignCenter, "Geschafft");
  glPopMatrix();
  glTranslatef(0, -1.3f, 0);
  font.Print(AlignCenter, "\xE4\xFC \xC4\xDC \x80 Sch\xF6n");
  EndText();
  SavePicture(gl, "outline_font_words");
  EXPECT_GT(LitPixels(gl.ReadPixels()), 5000);
}

}  // namespace
