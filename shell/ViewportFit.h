#pragma once

// A viewport in drawable pixels, origin at the lower left.
struct ViewportRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ViewportRect&) const = default;
};

// The viewport that shows a picture of width x height in a drawable of
// drawableWidth x drawableHeight. When the drawable has the picture's size,
// or either has no size, the viewport is the picture at the origin.
// Otherwise the picture is scaled to the largest size that fits and centred,
// so it stays whole and undistorted, with black bars on the sides or above
// and below.
ViewportRect FitViewport(int width, int height, int drawableWidth, int drawableHeight);
