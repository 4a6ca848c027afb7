#include "shell/ViewportFit.h"

#include <cmath>

ViewportRect FitViewport(int width, int height, int drawableWidth, int drawableHeight) {
  if (width <= 0 || height <= 0 || drawableWidth <= 0 || drawableHeight <= 0 ||
      (drawableWidth == width && drawableHeight == height)) {
    return {0, 0, width, height};
  }
  const double aspect = static_cast<double>(width) / static_cast<double>(height);
  int fitWidth = drawableWidth;
  int fitHeight = static_cast<int>(std::lround(drawableWidth / aspect));
  if (fitHeight > drawableHeight) {
    fitHeight = drawableHeight;
    fitWidth = static_cast<int>(std::lround(drawableHeight * aspect));
  }
  return {(drawableWidth - fitWidth) / 2, (drawableHeight - fitHeight) / 2, fitWidth, fitHeight};
}
