// Liang-Barsky clipping of a straight piece.
#include "canvas/SegmentClip.h"

#include <algorithm>

bool canvas::clipPiece(double ax, double ay, double bx, double by, double x0, double y0, double x1,
                       double y1, double &t0, double &t1) {
  t0 = 0.0;
  t1 = 1.0;
  const double dx = bx - ax, dy = by - ay;
  const auto cut = [&](double q, double r) { // q t <= r
    if (q == 0.0)
      return r >= 0.0;
    const double t = r / q;
    if (q < 0.0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    return t0 <= t1;
  };
  return cut(-dx, ax - x0) && cut(dx, x1 - ax) && cut(-dy, ay - y0) && cut(dy, y1 - ay);
}
