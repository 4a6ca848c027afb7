#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/Texture.h"
#include "tests/support/HeadlessGl.h"

namespace {

// The game's six pictures on quads, upright, in two rows of three. The
// picture is saved for a person to look at (CP_RENDER_DIR, default /tmp).
TEST(TextureRender, TheSixGameTexturesShowOnQuads) {
  HeadlessGl& gl = HeadlessGl::Shared();
  ASSERT_TRUE(gl.Ok());
  gl.ResetScene();
  const char* paths[] = {"Data/BaumOben.bmp", "Data/BaumStamm.bmp", "Data/Snowflake.bmp",
                         "Data/Flasche.bmp",  "Data/Schneeman.bmp", "Data/Muetze.bmp"};
  Texture textures[6];
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(textures[i].LoadMipmapped(paths[i], GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false)) << paths[i];
  }

  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_LIGHTING);
  glEnable(GL_TEXTURE_2D);
  glPushMatrix();
  glTranslatef(0.0f, 0.0f, -8.0f);
  const float size = 2.6f;
  double centreX[6];
  double centreY[6];
  for (int i = 0; i < 6; ++i) {
    const float x = (static_cast<float>(i % 3) - 1.0f) * 2.8f;
    const float y = i < 3 ? 1.45f : -1.45f;
    textures[i].Bind();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x - size / 2, y - size / 2, 0);
    glTexCoord2f(1, 0);
    glVertex3f(x + size / 2, y - size / 2, 0);
    glTexCoord2f(1, 1);
    glVertex3f(x + size / 2, y + size / 2, 0);
    glTexCoord2f(0, 1);
    glVertex3f(x - size / 2, y + size / 2, 0);
    glEnd();
    ASSERT_TRUE(gl.Project(x, y, 0, centreX[i], centreY[i]));
  }
  glPopMatrix();
  glPopAttrib();

  const char* dir = std::getenv("CP_RENDER_DIR");
  EXPECT_TRUE(gl.SaveBmp(std::string(dir != nullptr ? dir : "/tmp") + "/cp_textures.bmp"));

  // The screen pixel at each quad's centre shows the texture's centre texel.
  const std::vector<std::uint8_t> pixels = gl.ReadPixels();
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(paths[i]);
    textures[i].Bind();
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    const std::uint8_t* texel = texels.data() + (static_cast<std::size_t>(height / 2) * width + width / 2) * 3;
    std::uint8_t screen[3];
    gl.Pixel(pixels, static_cast<int>(centreX[i]), static_cast<int>(centreY[i]), screen);
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(screen[channel], texel[channel], 48) << channel;
  }
}

}  // namespace
