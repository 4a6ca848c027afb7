#include "shell/ViewportFit.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct FitCase {
  const char* name;
  int width, height, drawableWidth, drawableHeight;
  ViewportRect expected;
};

class ViewportFitCases : public ::testing::TestWithParam<FitCase> {};

TEST_P(ViewportFitCases, KeepsThePictureWholeAndUndistorted) {
  const FitCase& c = GetParam();
  const ViewportRect got = FitViewport(c.width, c.height, c.drawableWidth, c.drawableHeight);
  EXPECT_EQ(got, c.expected) << c.name << ": got " << got.x << "," << got.y << " " << got.width << "x" << got.height;
}

INSTANTIATE_TEST_SUITE_P(
    Drawables, ViewportFitCases,
    ::testing::Values(FitCase{"the drawable is the client area", 640, 480, 640, 480, {0, 0, 640, 480}},
                      FitCase{"windowed", 590, 430, 590, 430, {0, 0, 590, 430}},
                      FitCase{"a picture of no height", 640, 0, 640, 480, {0, 0, 640, 0}},
                      FitCase{"a minimised window has no drawable", 640, 480, 0, 0, {0, 0, 640, 480}},
                      FitCase{"scaled up to a 4:3 screen", 640, 480, 1024, 768, {0, 0, 1024, 768}},
                      FitCase{"a wider screen: bars on the sides", 640, 480, 1920, 1080, {240, 0, 1440, 1080}},
                      FitCase{"a taller drawable: bars above and below", 640, 480, 1024, 1024, {0, 128, 1024, 768}},
                      FitCase{"smaller than the picture", 640, 480, 320, 200, {26, 0, 267, 200}},
                      FitCase{"a window tiled by the window manager", 590, 430, 1020, 741, {1, 0, 1017, 741}},
                      FitCase{"a window given a taller frame", 590, 430, 590, 457, {0, 13, 590, 430}},
                      FitCase{"fullscreen granted smaller", 640, 480, 594, 457, {0, 5, 594, 446}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return "Case" + std::to_string(info.index); });
}  // namespace
