// World <-> pixel arithmetic shared by the canvas and the shapes: truncation toward zero, guarded
// spans, and clamping so that no double reaches an int out of range or as a non-finite value.
#pragma once

#include <cmath>

namespace canvas {

// Pixel coordinates are kept within +-pixelLimit, far outside any screen, so that sums and
// differences of a few of them never overflow an int.
constexpr int pixelLimit = 1 << 28;

// Truncates toward zero; NaN gives 0 and values beyond the limit give the limit of their sign.
inline int clampToPixel(double v) {
  if (!(v == v))
    return 0;
  if (v >= static_cast<double>(pixelLimit))
    return pixelLimit;
  if (v <= -static_cast<double>(pixelLimit))
    return -pixelLimit;
  return static_cast<int>(v);
}

// A view span to divide by: an exactly zero or non-finite span counts as 1.
inline double guardedSpan(double span) {
  if (span == 0.0 || !std::isfinite(span))
    return 1.0;
  return span;
}

// Pixels per world unit for a client extent over a view span; a span so small that the ratio
// is not finite counts as 1 as well.
inline double guardedScale(int pixels, double span) {
  double s = static_cast<double>(pixels) / guardedSpan(span);
  if (!std::isfinite(s))
    s = static_cast<double>(pixels);
  return s;
}

// The mapping of one view (left, right, top, bottom) onto a client of width x height pixels:
// one multiplication per coordinate, scales computed once.
struct ViewMapping {
  double left;
  double top;
  double scaleX;
  double scaleY;

  ViewMapping(double Left, double Right, double Top, double Bottom, int Width, int Height)
      : left(Left), top(Top), scaleX(guardedScale(Width, Right - Left)),
        scaleY(guardedScale(Height, Top - Bottom)) {}

  int toX(double x) const { return clampToPixel((x - left) * scaleX); }
  int toY(double y) const { return clampToPixel((top - y) * scaleY); }
  int lengthX(double r) const { return clampToPixel(r * scaleX); }
  int lengthY(double r) const { return clampToPixel(r * scaleY); }
};

} // namespace canvas
