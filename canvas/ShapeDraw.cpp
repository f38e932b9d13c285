// How each shape draws itself through platform::GdiCanvas for a view: pixels by truncation
// toward zero, the common pen rule (red and two pixels wider when selected), and the two ways of
// sizing texts (fixed 10 points for the editor, zoom-scaled for the navigation program).
#include "canvas/Shapes.h"
#include "canvas/WorldView.h"

#include <QPoint>
#include <algorithm>
#include <cstdint>
#include <vector>

using canvas::clampToPixel;
using canvas::ViewMapping;
using platform::GdiCanvas;

namespace {

constexpr TColor selectedColour = 0x0000FF;

// An int attribute plus a small amount, saturating instead of overflowing.
int plus(int value, int amount) {
  const long long v = static_cast<long long>(value) + amount;
  return static_cast<int>(std::clamp<long long>(v, -(1LL << 24), 1LL << 24));
}

void applyPenRule(const TQShape &s, GdiCanvas &c) {
  c.Pen.Color = s.Selected ? selectedColour : s.PenFg;
  c.Pen.Width = s.Selected ? plus(s.PenWidth, 2) : plus(s.PenWidth, 0);
  c.Pen.Style = psSolid;
}

void applyBrush(const TQShape &s, GdiCanvas &c) {
  c.Brush.Color = s.BrushFg;
  c.Brush.Style = s.BrushStyle;
}

QPoint toPixel(const ViewMapping &m, double x, double y) { return QPoint(m.toX(x), m.toY(y)); }

// A point part way between two pixels, computed in doubles and truncated back to a pixel.
QPoint towards(const QPoint &from, const QPoint &to, double f) {
  return QPoint(clampToPixel(from.x() + (to.x() - from.x()) * f),
                clampToPixel(from.y() + (to.y() - from.y()) * f));
}

// Texts too bright to read on the usual white background are drawn black.
TColor readableTextColour(TColor c) {
  const int mean = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
  return mean > 200 ? clBlack : c;
}

} // namespace

void TQPoint::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w, int h,
                   bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  const int sx = m.toX(X);
  const int sy = m.toY(Y);
  const int size = plus(PixelSize, 0);
  const int mm = plus(size, std::clamp(PenWidth, -(1 << 24), 1 << 24));
  if (mm <= 2) {
    c.SetPixels(sx, sy, PenFg);
    if (mm == 2) {
      c.SetPixels(sx + 1, sy, PenFg);
      c.SetPixels(sx, sy + 1, PenFg);
      c.SetPixels(sx + 1, sy + 1, PenFg);
    }
  } else if (mm <= 4) {
    c.Brush.Color = PenFg;
    c.Brush.Style = bsSolid;
    c.Pen.Style = psClear;
    c.FillRect(sx - mm, sy - mm, sx + mm, sy + mm);
    c.Pen.Style = psSolid;
  } else {
    c.Pen.Color = PenFg;
    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.Brush.Color = PenFg;
    c.Brush.Style = bsSolid;
    c.Ellipse(sx - mm, sy - mm, sx + mm, sy + mm);
  }
}

void TQLine::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w, int h,
                  bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  applyPenRule(*this, c);
  c.MoveTo(m.toX(X1), m.toY(Y1));
  c.LineTo(m.toX(X2), m.toY(Y2));
}

void TQCircle::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w,
                    int h, bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  applyPenRule(*this, c);
  applyBrush(*this, c);
  const int sx = m.toX(X);
  const int sy = m.toY(Y);
  const int rx = m.lengthX(Radius);
  const int ry = m.lengthY(Radius);
  c.Ellipse(sx - rx, sy - ry, sx + rx, sy + ry);
}

void TQRectangle::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w,
                       int h, bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  const int ax = m.toX(X1), ay = m.toY(Y1), bx = m.toX(X2), by = m.toY(Y2);
  const int l = std::min(ax, bx), r = std::max(ax, bx);
  const int t = std::min(ay, by), b = std::max(ay, by);
  if (PenWidth != 0 || BrushStyle != bsSolid || Selected || Rounded) {
    applyPenRule(*this, c);
    applyBrush(*this, c);
    if (Rounded) {
      const int corner = clampToPixel(CornerRadius * std::min(m.scaleY, m.scaleX));
      c.RoundRect(l, t, r, b, corner, corner);
    } else {
      c.Rectangle(l, t, r, b);
    }
  } else {
    c.Brush.Color = BrushFg;
    c.Brush.Style = bsSolid;
    c.FillRect(l, t, r, b);
  }
}

void TQEllipse::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w,
                     int h, bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  applyPenRule(*this, c);
  applyBrush(*this, c);
  c.Ellipse(m.toX(X1), m.toY(Y1), m.toX(X2), m.toY(Y2));
}

void TQArc::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w, int h,
                 bool) {
  if (!Visible)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  applyPenRule(*this, c);
  c.MoveTo(m.toX(X1), m.toY(Y1));
  c.LineTo(m.toX(X2), m.toY(Y2));
  c.LineTo(m.toX(X3), m.toY(Y3));
}

void TQText::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w, int h,
                  bool navigationVariant) {
  if (!Visible || DisplayText.isEmpty())
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  const int sx = m.toX(X);
  const int sy = m.toY(Y);
  // Far-off anchors are skipped before any font work.
  if (sx < -500 || static_cast<long long>(sx) > static_cast<long long>(w) + 500 || sy < -100 ||
      static_cast<long long>(sy) > static_cast<long long>(h) + 100)
    return;
  const TColor colour = readableTextColour(PenFg);
  int points = 10;
  if (navigationVariant) {
    // Texts follow the zoom; too small to read, a box stands in for them.
    const int s = clampToPixel(m.scaleY * Height * 0.8);
    if (s < 4) {
      const double n = static_cast<double>(DisplayText.size());
      const int bw = std::clamp(clampToPixel(m.scaleX * n * Height * 0.6), 4, 100);
      const int bh = std::clamp(clampToPixel(m.scaleY * Height * 0.8), 2, 20);
      c.Pen.Color = colour;
      c.Pen.Width = 1;
      c.Pen.Style = psSolid;
      c.Brush.Style = bsClear;
      c.Rectangle(sx, sy - bh, sx + bw, sy);
      return;
    }
    points = std::min(s, 200);
  }
  c.Font.Name = FontName;
  c.Font.Size = points;
  c.Font.Color = colour;
  c.Font.Bold = Bold;
  c.Font.Italic = Italic;
  c.Font.Orientation = Angle == 0.0 ? 0 : clampToPixel(Angle * 10.0);
  c.Brush.Style = bsClear;
  const int tw = c.TextWidth(DisplayText);
  const int th = c.TextHeight(DisplayText);
  const int ox = AlignH == 1 ? -(tw / 2) : AlignH == 2 ? -tw : 0;
  const int oy = AlignV == 1 ? -(th / 2) : AlignV == 2 ? -th : 0;
  c.TextOut(sx + ox, sy + oy, DisplayText);
}

void TQPolyline::Draw(GdiCanvas &c, double left, double right, double top, double bottom, int w,
                      int h, bool) {
  if (!Visible || Points.size() < 2)
    return;
  const ViewMapping m(left, right, top, bottom, w, h);
  applyPenRule(*this, c);
  applyBrush(*this, c);
  std::vector<QPoint> px;
  px.reserve(Points.size());
  for (const TPointF &p : Points)
    px.push_back(toPixel(m, p.X, p.Y));
  const std::size_t n = px.size();

  if (ShapeType == 8) {
    // Catmull-Rom through the points, one cubic Bezier piece per pair of neighbours; the ends
    // use the neighbour reflected about the end point.
    for (std::size_t i = 0; i + 1 < n; ++i) {
      const QPoint p1 = px[i];
      const QPoint p2 = px[i + 1];
      const double p0x = i > 0 ? px[i - 1].x() : 2.0 * p1.x() - p2.x();
      const double p0y = i > 0 ? px[i - 1].y() : 2.0 * p1.y() - p2.y();
      const double p3x = i + 2 < n ? px[i + 2].x() : 2.0 * p2.x() - p1.x();
      const double p3y = i + 2 < n ? px[i + 2].y() : 2.0 * p2.y() - p1.y();
      const QPoint c1(clampToPixel(p1.x() + (p2.x() - p0x) * 0.5 / 3.0),
                      clampToPixel(p1.y() + (p2.y() - p0y) * 0.5 / 3.0));
      const QPoint c2(clampToPixel(p2.x() - (p3x - p1.x()) * 0.5 / 3.0),
                      clampToPixel(p2.y() - (p3y - p1.y()) * 0.5 / 3.0));
      const QPoint piece[4] = {p1, c1, c2, p2};
      c.PolyBezier(piece);
    }
    return;
  }
  if (ShapeType == 10 && n == 3) {
    // One cubic that starts at the first point, ends at the last and bends towards the middle.
    const QPoint bez[4] = {px[0], towards(px[0], px[1], 2.0 / 3.0),
                           towards(px[2], px[1], 2.0 / 3.0), px[2]};
    c.PolyBezier(bez);
    return;
  }
  if (Closed && n > 2)
    c.Polygon(px);
  else
    c.Polyline(px);
}
