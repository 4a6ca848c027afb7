#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/Texture.h"
#include "puzzle/PegBoard.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// Draws the playing scene's board and reads it back; the board frame stays
// on the matrix stack so that holes can be projected afterwards.
class BoardPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.Ok());
    gl.ResetScene();
    texturesLoaded = top.LoadMipmapped("Data/BaumOben.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false) &&
                     trunk.LoadMipmapped("Data/BaumStamm.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false);
    board.Setup(&top, &trunk, nullptr);
  }

  void Frame(float dt, const std::string& name) {
    gl.ResetScene();
    glColor3f(1.0f, 1.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -8.0f);
    board.UpdateAndDraw(dt);
    EXPECT_EQ(GlState::Capture(), RestingGlState()) << GlState::Capture().Describe();
    pixels = gl.ReadPixels();
    gl.SaveBmp(::testing::TempDir() + name);
  }

  // Lit pixels in the 9 x 9 box around a hole's projected centre.
  int LitAround(int column, int row) const {
    double wx = 0;
    double wy = 0;
    EXPECT_TRUE(gl.Project(column - 3.0, 3.0 - row, 0.0, wx, wy));
    int lit = 0;
    for (int dy = -4; dy <= 4; ++dy) {
      for (int dx = -4; dx <= 4; ++dx) {
        std::uint8_t rgb[3];
        gl.Pixel(pixels, static_cast<int>(wx) + dx, static_cast<int>(wy) + dy, rgb);
        if (rgb[0] + rgb[1] + rgb[2] > 0) ++lit;
      }
    }
    return lit;
  }

  HeadlessGl& gl = HeadlessGl::Shared();
  Texture top;
  Texture trunk;
  bool texturesLoaded = false;
  PegBoard board;
  std::vector<std::uint8_t> pixels;
};

TEST_F(BoardPicture, TreesStandInEveryHoleButTheCentre) {
  Frame(16.0f, "puzzle_board_start.bmp");
  RecordProperty("textured", texturesLoaded ? "yes" : "no");
  for (int i = 0; i < PegBoard::PegCount; ++i) {
    const PegBoard::Cell cell = board.CellOf(i);
    EXPECT_EQ(LitAround(cell.column, cell.row), 81) << "no tree at " << cell.column << "," << cell.row;
  }
  EXPECT_EQ(LitAround(3, 3), 0);
}

TEST_F(BoardPicture, JumpedHoleIsEmptyOnceItsPegHasLeft) {
  ASSERT_TRUE(board.Pick(0.0f, 2.0f));
  board.Drag(0.2f, 1.0f);
  Frame(16.0f, "puzzle_board_dragging.bmp");
  board.Drop(0.0f, 0.0f);
  ASSERT_EQ(board.Peg(16).State(), Leaving);
  Frame(500.0f, "puzzle_board_leaving.bmp");
  // Either animation is over after 2500 ms.
  Frame(2500.0f, "puzzle_board_after_jump.bmp");
  EXPECT_EQ(board.Peg(16).State(), Gone);
  Frame(16.0f, "puzzle_board_after_jump.bmp");
  EXPECT_EQ(LitAround(3, 2), 0);
  EXPECT_EQ(LitAround(3, 1), 0);
  EXPECT_EQ(LitAround(3, 3), 81);
  EXPECT_EQ(LitAround(3, 0), 81);
}

}  // namespace
