// Whether a shape's picture moves with the view: the numbers each kind truncates to pixels, tested
// for lying close to a whole pixel and for moving by exactly the pixels a pan moves the view.
#include "canvas/Shapes.h"
#include "canvas/WorldView.h"

#include <algorithm>
#include <cmath>

using canvas::clampToPixel;
using canvas::ViewMapping;

namespace {

bool nearWhole(double v, double tolerance) {
  if (!std::isfinite(v))
    return true;
  return std::fabs(v - std::round(v)) < tolerance;
}

// The truncated numbers of one view against another moved by (kx, ky) pixels.
struct Moves {
  const ViewMapping &from;
  const ViewMapping &to;
  int kx, ky;
  bool x(double v) const { return from.toX(v) + kx == to.toX(v); }
  bool y(double v) const { return from.toY(v) + ky == to.toY(v); }
  bool at(double px, double py) const { return x(px) && y(py); }
  bool lengths(double r) const {
    return from.lengthX(r) == to.lengthX(r) && from.lengthY(r) == to.lengthY(r);
  }
};

struct Near {
  const ViewMapping &m;
  double tolerance;
  bool at(double x, double y) const {
    return nearWhole((x - m.left) * m.scaleX, tolerance) ||
           nearWhole((m.top - y) * m.scaleY, tolerance);
  }
  bool length(double r) const {
    return nearWhole(r * m.scaleX, tolerance) || nearWhole(r * m.scaleY, tolerance);
  }
};

} // namespace

bool TQShape::nearPixelEdge(const ViewMapping &, double) const { return true; }

bool TQShape::movesByPixels(const ViewMapping &, const ViewMapping &, int, int) const {
  return false;
}

bool TQPoint::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  return Near{m, tolerance}.at(X, Y);
}

bool TQPoint::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx, int ky) const {
  return Moves{from, to, kx, ky}.at(X, Y);
}

bool TQLine::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return n.at(X1, Y1) || n.at(X2, Y2);
}

bool TQLine::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx, int ky) const {
  const Moves mv{from, to, kx, ky};
  return mv.at(X1, Y1) && mv.at(X2, Y2);
}

bool TQCircle::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return n.at(X, Y) || n.length(Radius);
}

bool TQCircle::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx, int ky) const {
  const Moves mv{from, to, kx, ky};
  return mv.at(X, Y) && mv.lengths(Radius);
}

bool TQRectangle::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return n.at(X1, Y1) || n.at(X2, Y2) ||
         (Rounded && nearWhole(CornerRadius * std::min(m.scaleY, m.scaleX), tolerance));
}

bool TQRectangle::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx,
                                int ky) const {
  const Moves mv{from, to, kx, ky};
  return mv.at(X1, Y1) && mv.at(X2, Y2) &&
         (!Rounded || clampToPixel(CornerRadius * std::min(from.scaleY, from.scaleX)) ==
                          clampToPixel(CornerRadius * std::min(to.scaleY, to.scaleX)));
}

bool TQEllipse::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return n.at(X1, Y1) || n.at(X2, Y2);
}

bool TQEllipse::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx,
                              int ky) const {
  const Moves mv{from, to, kx, ky};
  return mv.at(X1, Y1) && mv.at(X2, Y2);
}

bool TQArc::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return n.at(X1, Y1) || n.at(X2, Y2) || n.at(X3, Y3);
}

bool TQArc::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx, int ky) const {
  const Moves mv{from, to, kx, ky};
  return mv.at(X1, Y1) && mv.at(X2, Y2) && mv.at(X3, Y3);
}

// A text is placed by its anchor's pixel and its font; the scroll cache follows every drawn text
// on its own.
bool TQText::nearPixelEdge(const ViewMapping &, double) const { return false; }

bool TQText::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx, int ky) const {
  return Moves{from, to, kx, ky}.at(X, Y);
}

bool TQPolyline::nearPixelEdge(const ViewMapping &m, double tolerance) const {
  const Near n{m, tolerance};
  return std::any_of(Points.begin(), Points.end(),
                     [&](const TPointF &p) { return n.at(p.X, p.Y); });
}

// A curve's control points are truncated from sums of its pixels, which a move across the first
// pixel row or column (truncation toward zero) does not carry along: a curve moves with its
// points only while none of those sums changes sign, which the caller's bands decide.
bool TQPolyline::movesByPixels(const ViewMapping &from, const ViewMapping &to, int kx,
                               int ky) const {
  const Moves mv{from, to, kx, ky};
  return std::all_of(Points.begin(), Points.end(),
                     [&](const TPointF &p) { return mv.at(p.X, p.Y); });
}
