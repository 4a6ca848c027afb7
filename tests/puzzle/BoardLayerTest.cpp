#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/SceneSetup.h"
#include "gfx/Texture.h"
#include "puzzle/BoardLayer.h"
#include "puzzle/PegBoard.h"
#include "tests/support/GlState.h"
#include "tests/support/HeadlessGl.h"

namespace {

// A board drawn through its layer must leave in the frame the very colour
// and depth that drawing it directly leaves: whatever the frame draws next
// (the snow, depth-tested against the trees; the cursor) then comes out the
// same too. One board and one layer go through a game's changes in order;
// after each, a frame is drawn both ways and the two compared bit for bit.
// A change the layer misses leaves its trees where they were, and the
// frames differ.

// Where the picture lies in the 640 x 480 window, and the picture's own
// size, whose shape the projection takes.
struct View {
  GLint x, y, width, height;
  int pictureWidth, pictureHeight;
};
constexpr View kFullscreen{0, 0, 640, 480, 640, 480};
// The windowed picture fitted into the window, with bars above and below.
constexpr View kWindowed{0, 7, 640, 466, 590, 430};
// The windowed picture at its own size, in the middle of a larger window.
constexpr View kSmall{25, 25, 590, 430, 590, 430};

struct Buffers {
  std::vector<std::uint8_t> color;
  std::vector<GLuint> depth;
};

// Values (colour channels, depths) that differ between two pictures.
template <typename Pixel>
int Differing(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
  int count = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) count += a[i] != b[i] ? 1 : 0;
  return count;
}

// The tree in column 3, row 5 lifted and dragged up the board, swinging.
void LiftAndDrag(PegBoard& board) {
  ASSERT_TRUE(board.Pick(0.0f, -2.0f));
  for (int i = 0; i < 20; ++i) {
    board.Drag(0.03f * static_cast<float>(i), -2.0f + 0.1f * static_cast<float>(i));
    board.Update(16.0f);
  }
}

void DragOn(PegBoard& board) {
  for (int i = 0; i < 10; ++i) {
    board.Drag(0.6f - 0.05f * static_cast<float>(i), -0.1f);
    board.Update(16.0f);
  }
}

// The same tree lifted again and held over the one in row 4.
void LiftOverNeighbour(PegBoard& board) {
  ASSERT_TRUE(board.Pick(0.0f, -2.0f));
  board.Drag(0.0f, 0.0f);
  board.Update(16.0f);
}

// Dropped into the empty middle: the jumped tree rises towards the eye as
// it leaves.
void Jump(PegBoard& board) {
  std::srand(2);  // the first draw of this seed picks the rise
  board.Drop(0.0f, 0.0f);
  ASSERT_EQ(board.CountPegs(), 31);
  for (int i = 0; i < PegBoard::PegCount; ++i) {
    if (board.Peg(i).State() == Leaving) {
      EXPECT_EQ(board.Peg(i).Style(), Rise);
    }
  }
}

struct Step {
  const char* what;
  void (*change)(PegBoard&);
  View view;
  bool redrawsLayer;
};

const Step kSteps[] = {
    {"the full board", [](PegBoard&) {}, kFullscreen, true},
    {"the full board a frame later", [](PegBoard&) {}, kFullscreen, false},
    {"a tree lifted and tilted", LiftAndDrag, kFullscreen, true},
    {"the lifted tree dragged on", DragOn, kFullscreen, false},
    {"the tree put back", [](PegBoard& board) { board.PutBack(); }, kFullscreen, true},
    {"the tree lifted over its neighbour", LiftOverNeighbour, kFullscreen, true},
    {"the frame after a jump", Jump, kFullscreen, true},
    {"the jumped tree close to the eye", [](PegBoard& board) { board.Update(700.0f); }, kFullscreen, false},
    {"the jumped tree gone", [](PegBoard& board) { board.Update(2500.0f); }, kFullscreen, false},
    {"the windowed picture with bars", [](PegBoard&) {}, kWindowed, true},
    {"a smaller viewport", [](PegBoard&) {}, kSmall, true},
    {"fullscreen again", [](PegBoard&) {}, kFullscreen, true},
};

class BoardLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.Ok());
    gl.ResetScene();
    ASSERT_TRUE(top.LoadMipmapped("Data/BaumOben.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
    ASSERT_TRUE(trunk.LoadMipmapped("Data/BaumStamm.bmp", GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR, false));
    board.Setup(&top, &trunk, nullptr);
    layer.Fit(gl.Width(), gl.Height());
  }

  // A frame of the board alone, as the game draws it while playing.
  Buffers Frame(const View& view, bool layered) {
    // The lights take their place from the modelview in force.
    glLoadIdentity();
    gl.ResetScene();
    // The game does not clear before the board: the layer clears, or its
    // copy covers, whatever the last frame left.
    GLfloat clearColor[4];
    GLfloat clearDepth = 1.0f;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clearDepth);
    glClearColor(0.8f, 0.1f, 0.6f, 1.0f);
    glClearDepth(0.25);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    glClearDepth(clearDepth);
    ApplyProjection(view.pictureWidth, view.pictureHeight);
    glViewport(view.x, view.y, view.width, view.height);
    glTranslatef(0.0f, 0.0f, -8.0f);
    if (layered) {
      layer.Draw(board);
    } else {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      board.Draw();
    }
    EXPECT_EQ(GlState::Capture(), RestingGlState()) << GlState::Capture().Describe();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    Buffers buffers;
    buffers.color = gl.ReadPixels();
    buffers.depth.resize(static_cast<std::size_t>(gl.Width()) * gl.Height());
    glReadPixels(0, 0, gl.Width(), gl.Height(), GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, buffers.depth.data());
    return buffers;
  }

  HeadlessGl& gl = HeadlessGl::Shared();
  Texture top;
  Texture trunk;
  PegBoard board;
  BoardLayer layer;
};

TEST_F(BoardLayerTest, FramesThroughTheLayerEqualDirectOnesAfterEveryChange) {
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.what);
    step.change(board);
    const int redrawsBefore = layer.Redraws();
    const Buffers layered = Frame(step.view, true);
    const Buffers direct = Frame(step.view, false);
    EXPECT_EQ(Differing(layered.color, direct.color), 0) << "colour values";
    EXPECT_EQ(Differing(layered.depth, direct.depth), 0) << "depth values";
    // The layer is in use: drawn again on a change, copied otherwise.
    EXPECT_EQ(layer.Redraws() - redrawsBefore, step.redrawsLayer ? 1 : 0);
  }
}

}  // namespace
