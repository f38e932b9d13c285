// The pieces of the passes over the shapes that every kind of redraw shares.
#include "canvas/PaintPasses.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

using platform::GdiCanvas;

namespace {

// Up to this many layer indexes get a flag each; beyond it (a drawing file may number its layers
// sparsely and high) the drawn indexes are kept in a set, which answers the same.
constexpr long long denseLayerFlags = 1 << 20;

} // namespace

canvas::LayerFlags::LayerFlags(const LayerList &layers, int nextLayerIndex)
    : last_(nextLayerIndex) {
  if (nextLayerIndex < 0)
    return;
  const long long count = static_cast<long long>(nextLayerIndex) + 1;
  dense_ = count <= denseLayerFlags;
  if (dense_)
    flags_.assign(static_cast<std::size_t>(count), 0);
  for (const TQLayer *layer : layers) {
    if (!layer->Visible || layer->Index < 0 || layer->Index > nextLayerIndex)
      continue;
    if (dense_)
      flags_[static_cast<std::size_t>(layer->Index)] = 1;
    else
      sparse_.insert(layer->Index);
  }
}

canvas::AnchorMapping::AnchorMapping(const ViewFrame &f) : left(f.left), top(f.top) {
  double ww = f.right - f.left;
  if (!(ww > 0.0))
    ww = 1.0;
  wpp = ww / std::max(f.width, 1);
}

void canvas::drawWithContrast(const TTarvikCanvas &c, TQShape &s, GdiCanvas &g, int w, int h) {
  const TColor own = s.PenFg;
  const TColor shown = c.GetContrastColor(own);
  s.PenFg = shown;
  s.Draw(g, c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h, c.NavigationVariant);
  s.PenFg = own;
}

// A wide pen is centred on the outline (its joins reach further), a point is drawn at a pixel
// size whatever the zoom, and a spline may swing past its points by up to a third of their
// spread. Texts are placed by their font, not their bounds; they are kept apart.
long long canvas::overhangOf(const TQShape &s, const ViewMapping &m) {
  const long long pen = std::llabs(static_cast<long long>(s.PenWidth)) + (s.Selected ? 2 : 0);
  if (s.ShapeType == 17) {
    if (const auto *p = dynamic_cast<const TQPoint *>(&s))
      return std::llabs(static_cast<long long>(p->PixelSize)) + pen + 2;
  }
  long long reach = 2 * pen + 4;
  if (s.ShapeType == 8) {
    const double spread =
        (s.MaxX - s.MinX) * std::fabs(m.scaleX) + (s.MaxY - s.MinY) * std::fabs(m.scaleY);
    if (!(spread < 1e12))
      return std::numeric_limits<long long>::max() / 4;
    reach += static_cast<long long>(spread / 3.0) + 2;
  }
  return reach;
}

bool canvas::unmovable(const TQShape &s, const ViewMapping &m) {
  constexpr double far = 1 << 20;
  const double x0 = (s.MinX - m.left) * m.scaleX, x1 = (s.MaxX - m.left) * m.scaleX;
  const double y0 = (m.top - s.MaxY) * m.scaleY, y1 = (m.top - s.MinY) * m.scaleY;
  if (!(std::fabs(x0) < far && std::fabs(x1) < far && std::fabs(y0) < far && std::fabs(y1) < far))
    return true;
  return s.BrushStyle != bsSolid && s.BrushStyle != bsClear;
}

void canvas::noteDrawn(PaintCache &pc, const TQShape &s, const ViewMapping &m) {
  if (s.ShapeType != 11)
    pc.overhang = std::max(pc.overhang, overhangOf(s, m));
  if (unmovable(s, m))
    pc.unmovable = true;
}

QRect canvas::textReach(const TTarvikCanvas &c, const TQText &t, const GdiCanvas &g, int w, int h) {
  if (t.DisplayText.isEmpty())
    return QRect();
  const ViewMapping m(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h);
  const long long sx = m.toX(t.X);
  const long long sy = m.toY(t.Y);
  if (sx < -500 || sx > static_cast<long long>(w) + 500 || sy < -100 ||
      sy > static_cast<long long>(h) + 100)
    return QRect();
  const auto clampInt = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
  };
  if (c.NavigationVariant && clampToPixel(m.scaleY * t.Height * 0.8) < 4) {
    // The stand-in box, outlined one pixel wide.
    const double n = static_cast<double>(t.DisplayText.size());
    const int bw = std::clamp(clampToPixel(m.scaleX * n * t.Height * 0.6), 4, 100);
    const int bh = std::clamp(clampToPixel(m.scaleY * t.Height * 0.8), 2, 20);
    return QRect(QPoint(clampInt(sx - 2), clampInt(sy - bh - 2)),
                 QPoint(clampInt(sx + bw + 2), clampInt(sy + 2)));
  }
  // Any alignment and any angle keep the cell within twice its diagonal of the anchor; a line
  // height more covers glyphs that overhang their cell.
  const long long tw = std::llabs(static_cast<long long>(g.TextWidth(t.DisplayText)));
  const long long th = std::llabs(static_cast<long long>(g.TextHeight(t.DisplayText)));
  const long long reach = 2 * (tw + th) + th + 4;
  return QRect(QPoint(clampInt(sx - reach), clampInt(sy - reach)),
               QPoint(clampInt(sx + reach), clampInt(sy + reach)));
}

// The text is drawn onto a one-pixel image (nothing of it lands there) for the font its draw
// chooses, then measured.
QRect canvas::reachNow(const TTarvikCanvas &c, TQText &t, int w, int h) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  GdiCanvas g(scratch);
  drawWithContrast(c, t, g, w, h);
  return textReach(c, t, g, w, h);
}

canvas::WorldRect canvas::worldAround(const TTarvikCanvas &c, const ViewMapping &m, const QRect &r,
                                      long long pad) {
  const double p = static_cast<double>(pad);
  return WorldRect{
      c.WorldLeft + (r.left() - p) / m.scaleX, c.WorldTop - (r.bottom() + 1 + p) / m.scaleY,
      c.WorldLeft + (r.right() + 1 + p) / m.scaleX, c.WorldTop - (r.top() - p) / m.scaleY};
}

QRect canvas::shapePixels(const TQShape &s, const ViewMapping &m, long long pad, int w, int h) {
  const long long x0 = m.toX(s.MinX), x1 = m.toX(s.MaxX);
  const long long y0 = m.toY(s.MaxY), y1 = m.toY(s.MinY);
  return QRect(QPoint(static_cast<int>(std::clamp<long long>(std::min(x0, x1) - pad, -1, w + 1)),
                      static_cast<int>(std::clamp<long long>(std::min(y0, y1) - pad, -1, h + 1))),
               QPoint(static_cast<int>(std::clamp<long long>(std::max(x0, x1) + pad, -1, w + 1)),
                      static_cast<int>(std::clamp<long long>(std::max(y0, y1) + pad, -1, h + 1))))
      .intersected(QRect(0, 0, w, h));
}

void canvas::drawBackgroundIn(TTarvikCanvas &c, GdiCanvas &g, const QRegion &region) {
  g.SetClipRegion(region);
  g.Brush.Color = c.BackColor;
  g.Brush.Style = bsSolid;
  g.FillRect(0, 0, std::max(c.width(), 1), std::max(c.height(), 1));
  if (c.GridMode == 0)
    drawGridOn(c, g, &region);
}

void canvas::drawListedShapes(TTarvikCanvas &c, PaintCache &pc, GdiCanvas &g,
                              const std::vector<int> &positions, int from, int to) {
  const int w = std::max(c.width(), 1);
  const int h = std::max(c.height(), 1);
  const ViewMapping m(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h);
  const LayerFlags layers(c.Layers, c.NextLayerIndex);
  double ww = c.WorldRight - c.WorldLeft;
  if (!(ww > 0.0))
    ww = 1.0;
  const double half = ww / w * 0.5;
  const AnchorMapping anchor(currentViewFrame(c));
  const int count = c.Shapes.size();
  for (int i : positions) {
    if (i < from || i >= to || i < 0 || i >= count)
      continue;
    TQShape *s = c.Shapes[i];
    if (s->ShapeType == 11 || !s->Visible || !layers.drawn(s->Layer) || missesView(c, *s))
      continue;
    noteNearEdge(pc, *s, m, anchor);
    if (s->ShapeType == 17 && dynamic_cast<const TQPoint *>(s)) {
      if (pc.isThinned(s))
        continue;
    } else if (s->ShapeType != 1) {
      if (s->MaxX - s->MinX < half && s->MaxY - s->MinY < half)
        continue;
    }
    // A shape whose pixels all lie outside the clip is not drawn (lines find the clip's
    // pieces along themselves as they are drawn).
    if (s->ShapeType == 3 || g.ClipMeets(shapePixels(*s, m, overhangOf(*s, m), w, h)))
      drawWithContrast(c, *s, g, w, h);
    // A shape drawn here for the first time (one a scroll brought into the view, or one put on
    // top) counts like those the full redraw drew.
    noteDrawn(pc, *s, m);
  }
}

namespace {

// The size below which a shape other than a rectangle or a point is left out: half a pixel by
// the horizontal scale.
double halfPixel(const canvas::ViewFrame &f) {
  double ww = f.right - f.left;
  if (!(ww > 0.0))
    ww = 1.0;
  return ww / std::max(f.width, 1) * 0.5;
}

bool sizeRuleApplies(const TQShape &s) { return s.ShapeType != 1 && s.ShapeType != 17; }

bool tooSmall(const TQShape &s, double half) {
  return s.MaxX - s.MinX < half && s.MaxY - s.MinY < half;
}

} // namespace

void canvas::noteNearEdge(PaintCache &pc, const TQShape &s, const ViewMapping &m,
                          const AnchorMapping &anchor) {
  if (s.ShapeType == 11)
    return;
  bool near = s.nearPixelEdge(m, pixelEdgeTolerance);
  if (!near && s.ShapeType == 17) {
    if (const auto *p = dynamic_cast<const TQPoint *>(&s)) {
      const auto close = [](double v) {
        return !std::isfinite(v) || std::fabs(v - std::round(v)) < pixelEdgeTolerance;
      };
      near = close((p->X - anchor.left) / anchor.wpp) || close((anchor.top - p->Y) / anchor.wpp);
    }
  }
  if (!near && sizeRuleApplies(s)) {
    const double half = anchor.wpp * 0.5, edge = pixelEdgeTolerance * anchor.wpp;
    near = std::fabs(s.MaxX - s.MinX - half) < edge || std::fabs(s.MaxY - s.MinY - half) < edge;
  }
  if (near)
    pc.nearEdge.insert_or_assign(&s, s.ShapeNumber);
}

bool canvas::movesWithPicture(const TQShape &s, const ViewFrame &from, const ViewFrame &to, int kx,
                              int ky) {
  const ViewMapping mFrom(from.left, from.right, from.top, from.bottom, from.width, from.height);
  const ViewMapping mTo(to.left, to.right, to.top, to.bottom, to.width, to.height);
  if (!s.movesByPixels(mFrom, mTo, kx, ky))
    return false;
  if (sizeRuleApplies(s) && tooSmall(s, halfPixel(from)) != tooSmall(s, halfPixel(to)))
    return false;
  if (s.ShapeType == 17) {
    if (const auto *p = dynamic_cast<const TQPoint *>(&s)) {
      const Pixel a = AnchorMapping(from)(p->X, p->Y), b = AnchorMapping(to)(p->X, p->Y);
      return a.x + kx == b.x && a.y + ky == b.y;
    }
  }
  return true;
}

QRegion canvas::unionOf(const std::vector<QRect> &rects) {
  // Each union costs about the pieces of both sides: joined a pair at a time, every rectangle
  // takes part in a number of unions that grows with the logarithm of their count.
  std::vector<QRegion> parts;
  parts.reserve(rects.size());
  for (const QRect &r : rects)
    if (!r.isEmpty())
      parts.emplace_back(r);
  while (parts.size() > 1) {
    std::size_t k = 0;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
      parts[k++] = parts[i].united(parts[i + 1]);
    if (parts.size() % 2 == 1)
      parts[k++] = std::move(parts.back());
    parts.resize(k);
  }
  return parts.empty() ? QRegion() : parts.front();
}
