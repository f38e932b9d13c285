// Geometry of the shapes: construction, bounds, hit tests, transforms and polyline points.
#include "canvas/Shapes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace canvas {

float toStoredFloat(double value) {
  if (std::isnan(value) || std::isinf(value))
    return static_cast<float>(value);
  if (value > static_cast<double>(FLT_MAX))
    return FLT_MAX;
  if (value < -static_cast<double>(FLT_MAX))
    return -FLT_MAX;
  return static_cast<float>(value);
}

} // namespace canvas

namespace {

constexpr double kPi = 3.141592653589793;

struct Rotation {
  double c;
  double s;
  double cx;
  double cy;
  Rotation(double angle, double centreX, double centreY)
      : c(std::cos(angle * kPi / 180.0)), s(std::sin(angle * kPi / 180.0)), cx(centreX),
        cy(centreY) {}
  void apply(double &x, double &y) const {
    const double dx = x - cx;
    const double dy = y - cy;
    x = cx + c * dx - s * dy;
    y = cy + s * dx + c * dy;
  }
};

void scalePoint(double &x, double &y, double sx, double sy, double cx, double cy) {
  x = cx + (x - cx) * sx;
  y = cy + (y - cy) * sy;
}

// Lines, boxes and ellipses are defined by two points (X1, Y1) and (X2, Y2).
template <class TwoPointShape> void translateTwoPoints(TwoPointShape &s, double dx, double dy) {
  s.X1 += dx;
  s.Y1 += dy;
  s.X2 += dx;
  s.Y2 += dy;
  s.UpdateBounds();
}

template <class TwoPointShape>
void scaleTwoPoints(TwoPointShape &s, double sx, double sy, double cx, double cy) {
  scalePoint(s.X1, s.Y1, sx, sy, cx, cy);
  scalePoint(s.X2, s.Y2, sx, sy, cx, cy);
  s.UpdateBounds();
}

// Distance test of a point against a segment; a zero-length segment is its start point.
bool nearSegment(double x, double y, double x1, double y1, double x2, double y2, double t) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  const double len2 = dx * dx + dy * dy;
  double nx = x1;
  double ny = y1;
  if (len2 > 0.0) {
    double u = ((x - x1) * dx + (y - y1) * dy) / len2;
    if (!(u > 0.0))
      u = 0.0;
    else if (u > 1.0)
      u = 1.0;
    nx = x1 + u * dx;
    ny = y1 + u * dy;
  }
  const double ex = x - nx;
  const double ey = y - ny;
  return std::sqrt(ex * ex + ey * ey) <= t;
}

bool inWidenedBox(const TQShape &s, double x, double y, double t) {
  return x >= s.MinX - t && x <= s.MaxX + t && y >= s.MinY - t && y <= s.MaxY + t;
}

void setBox(TQShape &s, double x1, double y1, double x2, double y2) {
  s.MinX = std::min(x1, x2);
  s.MaxX = std::max(x1, x2);
  s.MinY = std::min(y1, y2);
  s.MaxY = std::max(y1, y2);
}

} // namespace

// ---- TQPoint

TQPoint::TQPoint() { ShapeType = 17; }

TQPoint::TQPoint(double x, double y, double size, int layer) : X(x), Y(y), Size(size) {
  ShapeType = 17;
  Layer = layer;
  UpdateBounds();
}

bool TQPoint::HitTest(double x, double y, double t) const {
  return (x - X) * (x - X) + (y - Y) * (y - Y) <= t * t;
}

void TQPoint::UpdateBounds() {
  MinX = X - PixelSize;
  MaxX = X + PixelSize;
  MinY = Y - PixelSize;
  MaxY = Y + PixelSize;
}

void TQPoint::Translate(double dx, double dy) {
  X += dx;
  Y += dy;
  UpdateBounds();
}

void TQPoint::Scale(double sx, double sy, double cx, double cy) {
  scalePoint(X, Y, sx, sy, cx, cy);
  UpdateBounds();
}

void TQPoint::Rotate(double angle, double cx, double cy) {
  Rotation(angle, cx, cy).apply(X, Y);
  UpdateBounds();
}

// ---- TQLine

TQLine::TQLine() { ShapeType = 3; }

TQLine::TQLine(double x1, double y1, double x2, double y2, int layer)
    : X1(x1), Y1(y1), X2(x2), Y2(y2) {
  ShapeType = 3;
  Layer = layer;
  UpdateBounds();
}

bool TQLine::HitTest(double x, double y, double t) const {
  return nearSegment(x, y, X1, Y1, X2, Y2, t);
}

void TQLine::UpdateBounds() { setBox(*this, X1, Y1, X2, Y2); }

void TQLine::Translate(double dx, double dy) { translateTwoPoints(*this, dx, dy); }

void TQLine::Scale(double sx, double sy, double cx, double cy) {
  scaleTwoPoints(*this, sx, sy, cx, cy);
}

void TQLine::Rotate(double angle, double cx, double cy) {
  const Rotation r(angle, cx, cy);
  r.apply(X1, Y1);
  r.apply(X2, Y2);
  UpdateBounds();
}

// ---- TQCircle

TQCircle::TQCircle() { ShapeType = 19; }

TQCircle::TQCircle(double x, double y, double radius, int layer) : X(x), Y(y), Radius(radius) {
  ShapeType = 19;
  Layer = layer;
  UpdateBounds();
}

bool TQCircle::HitTest(double x, double y, double t) const {
  const double dx = x - X;
  const double dy = y - Y;
  return std::abs(std::sqrt(dx * dx + dy * dy) - Radius) <= t;
}

void TQCircle::UpdateBounds() {
  MinX = X - Radius;
  MaxX = X + Radius;
  MinY = Y - Radius;
  MaxY = Y + Radius;
}

void TQCircle::Translate(double dx, double dy) {
  X += dx;
  Y += dy;
  UpdateBounds();
}

void TQCircle::Scale(double sx, double sy, double cx, double cy) {
  scalePoint(X, Y, sx, sy, cx, cy);
  Radius = Radius * (sx + sy) / 2.0;
  UpdateBounds();
}

void TQCircle::Rotate(double angle, double cx, double cy) {
  Rotation(angle, cx, cy).apply(X, Y);
  UpdateBounds();
}

// ---- TQRectangle

TQRectangle::TQRectangle() { ShapeType = 1; }

TQRectangle::TQRectangle(double x1, double y1, double x2, double y2, double value, int layer)
    : X1(x1), Y1(y1), X2(x2), Y2(y2), Value(value) {
  ShapeType = 1;
  Layer = layer;
  UpdateBounds();
}

bool TQRectangle::HitTest(double x, double y, double t) const {
  return x >= std::min(X1, X2) - t && x <= std::max(X1, X2) + t && y >= std::min(Y1, Y2) - t &&
         y <= std::max(Y1, Y2) + t;
}

void TQRectangle::UpdateBounds() { setBox(*this, X1, Y1, X2, Y2); }

void TQRectangle::Translate(double dx, double dy) { translateTwoPoints(*this, dx, dy); }

void TQRectangle::Scale(double sx, double sy, double cx, double cy) {
  scaleTwoPoints(*this, sx, sy, cx, cy);
}

// An axis-aligned box has no rotated form here: the geometry stays.
void TQRectangle::Rotate(double, double, double) { UpdateBounds(); }

// ---- TQEllipse

TQEllipse::TQEllipse() { ShapeType = 20; }

TQEllipse::TQEllipse(double x1, double y1, double x2, double y2, int layer)
    : X1(x1), Y1(y1), X2(x2), Y2(y2) {
  ShapeType = 20;
  Layer = layer;
  UpdateBounds();
}

bool TQEllipse::HitTest(double x, double y, double t) const {
  const double cx = (X1 + X2) / 2.0;
  const double cy = (Y1 + Y2) / 2.0;
  const double a = std::abs(X2 - X1) / 2.0;
  const double b = std::abs(Y2 - Y1) / 2.0;
  if (!(a > 0.0) || !(b > 0.0))
    return false;
  const double u = (x - cx) / a;
  const double v = (y - cy) / b;
  return std::abs(u * u + v * v - 1.0) <= t / std::min(a, b);
}

void TQEllipse::UpdateBounds() { setBox(*this, X1, Y1, X2, Y2); }

void TQEllipse::Translate(double dx, double dy) { translateTwoPoints(*this, dx, dy); }

void TQEllipse::Scale(double sx, double sy, double cx, double cy) {
  scaleTwoPoints(*this, sx, sy, cx, cy);
}

void TQEllipse::Rotate(double, double, double) { UpdateBounds(); }

// ---- TQArc

TQArc::TQArc() { ShapeType = 10; }

TQArc::TQArc(double x1, double y1, double x2, double y2, double x3, double y3, int layer)
    : X1(x1), Y1(y1), X2(x2), Y2(y2), X3(x3), Y3(y3) {
  ShapeType = 10;
  Layer = layer;
  UpdateBounds();
}

bool TQArc::HitTest(double x, double y, double t) const { return inWidenedBox(*this, x, y, t); }

void TQArc::UpdateBounds() {
  MinX = std::min({X1, X2, X3});
  MaxX = std::max({X1, X2, X3});
  MinY = std::min({Y1, Y2, Y3});
  MaxY = std::max({Y1, Y2, Y3});
}

void TQArc::Translate(double dx, double dy) {
  X1 += dx;
  Y1 += dy;
  X2 += dx;
  Y2 += dy;
  X3 += dx;
  Y3 += dy;
  UpdateBounds();
}

void TQArc::Scale(double sx, double sy, double cx, double cy) {
  scalePoint(X1, Y1, sx, sy, cx, cy);
  scalePoint(X2, Y2, sx, sy, cx, cy);
  scalePoint(X3, Y3, sx, sy, cx, cy);
  UpdateBounds();
}

void TQArc::Rotate(double angle, double cx, double cy) {
  const Rotation r(angle, cx, cy);
  r.apply(X1, Y1);
  r.apply(X2, Y2);
  r.apply(X3, Y3);
  UpdateBounds();
}

// ---- TQText

TQText::TQText() { ShapeType = 11; }

TQText::TQText(double x, double y, const QString &text, int fontIndex, int layer)
    : X(x), Y(y), DisplayText(text), FontIndex(fontIndex) {
  ShapeType = 11;
  Layer = layer;
  Text = text;
  UpdateBounds();
}

bool TQText::HitTest(double x, double y, double t) const { return inWidenedBox(*this, x, y, t); }

void TQText::UpdateBounds() {
  MinX = X;
  MaxX = X + 10.0 * static_cast<double>(DisplayText.size());
  MinY = Y - 10.0;
  MaxY = Y + 10.0;
}

void TQText::Translate(double dx, double dy) {
  X += dx;
  Y += dy;
  UpdateBounds();
}

void TQText::Scale(double sx, double sy, double cx, double cy) {
  scalePoint(X, Y, sx, sy, cx, cy);
  UpdateBounds();
}

// A text turns about its own anchor: only its angle changes.
void TQText::Rotate(double angle, double, double) {
  Angle += angle;
  UpdateBounds();
}

// ---- TQPolyline

TQPolyline::TQPolyline() { ShapeType = 5; }

TQPolyline::TQPolyline(int shapeType, bool closed, int layer) : Closed(closed) {
  ShapeType = shapeType;
  Layer = layer;
}

bool TQPolyline::HitTest(double x, double y, double t) const {
  for (std::size_t i = 1; i < Points.size(); ++i) {
    const double x1 = Points[i - 1].X;
    const double y1 = Points[i - 1].Y;
    const double x2 = Points[i].X;
    const double y2 = Points[i].Y;
    if (x1 == x2 && y1 == y2)
      continue;
    if (nearSegment(x, y, x1, y1, x2, y2, t))
      return true;
  }
  return false;
}

void TQPolyline::UpdateBounds() {
  if (Points.empty())
    return;
  double minX = Points[0].X;
  double maxX = minX;
  double minY = Points[0].Y;
  double maxY = minY;
  for (const TPointF &p : Points) {
    minX = std::min(minX, static_cast<double>(p.X));
    maxX = std::max(maxX, static_cast<double>(p.X));
    minY = std::min(minY, static_cast<double>(p.Y));
    maxY = std::max(maxY, static_cast<double>(p.Y));
  }
  MinX = minX;
  MaxX = maxX;
  MinY = minY;
  MaxY = maxY;
}

void TQPolyline::Translate(double dx, double dy) {
  for (TPointF &p : Points) {
    p.X = canvas::toStoredFloat(p.X + dx);
    p.Y = canvas::toStoredFloat(p.Y + dy);
  }
  UpdateBounds();
}

void TQPolyline::Scale(double sx, double sy, double cx, double cy) {
  for (TPointF &p : Points) {
    double x = p.X;
    double y = p.Y;
    scalePoint(x, y, sx, sy, cx, cy);
    p.X = canvas::toStoredFloat(x);
    p.Y = canvas::toStoredFloat(y);
  }
  UpdateBounds();
}

void TQPolyline::Rotate(double angle, double cx, double cy) {
  const Rotation r(angle, cx, cy);
  for (TPointF &p : Points) {
    double x = p.X;
    double y = p.Y;
    r.apply(x, y);
    p.X = canvas::toStoredFloat(x);
    p.Y = canvas::toStoredFloat(y);
  }
  UpdateBounds();
}

// The bounds are current before the append, so widening them by the new point gives what a
// full recomputation would, without walking every point again.
void TQPolyline::AddPoint(double x, double y) {
  const TPointF p{canvas::toStoredFloat(x), canvas::toStoredFloat(y)};
  Points.push_back(p);
  if (Points.size() == 1) {
    UpdateBounds();
    return;
  }
  MinX = std::min(MinX, static_cast<double>(p.X));
  MaxX = std::max(MaxX, static_cast<double>(p.X));
  MinY = std::min(MinY, static_cast<double>(p.Y));
  MaxY = std::max(MaxY, static_cast<double>(p.Y));
}

double TQPolyline::GetX(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Points.size())
    return 0.0;
  return Points[static_cast<std::size_t>(index)].X;
}

double TQPolyline::GetY(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= Points.size())
    return 0.0;
  return Points[static_cast<std::size_t>(index)].Y;
}

void TQPolyline::SetPoint(int index, double x, double y) {
  if (index < 0 || static_cast<std::size_t>(index) >= Points.size())
    return;
  Points[static_cast<std::size_t>(index)] = {canvas::toStoredFloat(x), canvas::toStoredFloat(y)};
  UpdateBounds();
}
