// The scroll cache: a view moved by whole pixels keeps the back buffer and its images, moved by
// those pixels, and draws only what the move uncovered or changed.
#include "canvas/PaintCache.h"
#include "canvas/PaintPasses.h"
#include "canvas/PaintSupport.h"
#include "canvas/SegmentClip.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"

#include <QPointF>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_set>
#include <vector>

using namespace canvas;
using platform::GdiCanvas;

namespace {

// Whether `to` shows the world of `from` moved by whole pixels: the same client and scales, the
// edges moved so that what lay at pixel p of `from` lies at p + (kx, ky) in `to`, by less than
// the client's size.
bool wholePixelShift(const canvas::ViewFrame &from, const canvas::ViewFrame &to, int &kx, int &ky) {
  if (from.width != to.width || from.height != to.height || from.width <= 0 || from.height <= 0)
    return false;
  const double ww0 = from.right - from.left, wh0 = from.top - from.bottom;
  const double ww = to.right - to.left, wh = to.top - to.bottom;
  if (!(ww0 > 0.0) || !(wh0 > 0.0) || !std::isfinite(ww0) || !std::isfinite(wh0))
    return false;
  // Edges moved by the same amount keep their span but for the rounding of the sums.
  if (!(std::fabs(ww - ww0) <= ww0 * 1e-12) || !(std::fabs(wh - wh0) <= wh0 * 1e-12))
    return false;
  const double fx = (from.left - to.left) * (from.width / ww0);
  const double fy = (to.top - from.top) * (from.height / wh0);
  if (!(std::fabs(fx) < from.width) || !(std::fabs(fy) < from.height))
    return false;
  const double rx = std::round(fx), ry = std::round(fy);
  if (std::fabs(fx - rx) > 1e-6 || std::fabs(fy - ry) > 1e-6)
    return false;
  kx = static_cast<int>(rx);
  ky = static_cast<int>(ry);
  return true;
}

// Moves the pixels of a 32-bit image by (kx, ky); what moves in from outside keeps its old
// pixels, to be drawn anew.
void shiftImage(QImage &image, int kx, int ky) {
  const int w = image.width(), h = image.height();
  if (image.isNull() || image.depth() != 32 || std::abs(kx) >= w || std::abs(ky) >= h)
    return;
  const qsizetype line = image.bytesPerLine();
  uchar *bits = image.bits();
  const std::size_t bytes = static_cast<std::size_t>(w - std::abs(kx)) * 4;
  const qsizetype fromX = kx >= 0 ? 0 : -kx, toX = kx >= 0 ? kx : 0;
  const auto move = [&](int fromY, int toY) {
    std::memmove(bits + toY * line + toX * 4, bits + fromY * line + fromX * 4, bytes);
  };
  if (ky > 0)
    for (int y = h - 1; y >= ky; --y)
      move(y - ky, y);
  else
    for (int y = 0; y < h + ky; ++y)
      move(y - ky, y);
}

// Thinning decides again, as a full redraw of `to` would, which points it leaves out, given the
// points that came into the view or left it (`edits`, positions in the drawing order). A point's
// fate depends only on the last point drawn before it: from the first edit on the decisions are
// made anew, and once the last point drawn is again the one the old decisions had, they hold up
// to the next edit. The points whose fate changed, and those that came or went, go to `damage`.
// False when the decisions cannot be followed (a point not moving by the pan's pixels, or too
// long a walk): the view is drawn whole.
bool rethinPoints(TTarvikCanvas &c, PaintCache &pc, const canvas::ViewFrame &from,
                  const canvas::ViewFrame &to, int kx, int ky, std::vector<int> &edits,
                  long long pad, QRegion &damage) {
  if (edits.empty())
    return true;
  std::sort(edits.begin(), edits.end());
  edits.erase(std::unique(edits.begin(), edits.end()), edits.end());
  const int n = c.Shapes.size();
  const LayerFlags layers(c.Layers, c.NextLayerIndex);
  const AnchorMapping anchorFrom(from), anchorTo(to);
  const int w = to.width, h = to.height;
  const canvas::ViewMapping mFrom(from.left, from.right, from.top, from.bottom, w, h);
  const canvas::ViewMapping mTo(to.left, to.right, to.top, to.bottom, w, h);
  // The drawing is walked in its order (positions are shapes' places in it) from the first edit
  // on. Points are few among the shapes and the walk stops where the decisions meet the old
  // ones again, mostly a few points on: a look-up of the shapes near both views would cost more
  // than the walk.
  const auto counted = [&](const TQShape *s) {
    return s->ShapeType == 17 && s->Visible && layers.drawn(s->Layer) && isPoint(*s);
  };
  constexpr long long mostSteps = 1 << 17;
  long long steps = 0;
  const Pixel none{-9999, -9999};
  // The last point drawn before position p and after position stop, by the old decisions (which
  // hold there); `otherwise` when there is none.
  const auto drawnBefore = [&](long long p, long long stop, Pixel otherwise) {
    for (long long q = std::min<long long>(p, n) - 1; q > stop && q >= 0 && steps < mostSteps;
         --q) {
      const TQShape *s = c.Shapes[static_cast<int>(q)];
      if (!counted(s))
        continue;
      ++steps;
      if (!missesFrame(to, *s) && !pc.isThinned(s))
        return anchorTo(static_cast<const TQPoint *>(s)->X, static_cast<const TQPoint *>(s)->Y);
    }
    return otherwise;
  };
  const auto same = [](Pixel a, Pixel b) { return a.x == b.x && a.y == b.y; };

  long long p = edits.front();
  Pixel now = drawnBefore(p, -1, none);
  Pixel before = now; // the old decisions' last point drawn, in the pixels of `to`
  std::size_t e = 0;
  bool toTheEnd = true;
  while (p < n) {
    const int i = static_cast<int>(p++);
    if (i < 0)
      continue;
    while (e < edits.size() && edits[e] <= i)
      ++e;
    TQShape *s = c.Shapes[i];
    if (counted(s)) {
      if (++steps > mostSteps)
        return false;
      const auto &point = *static_cast<const TQPoint *>(s);
      const bool was = !missesFrame(from, *s), is = !missesFrame(to, *s);
      bool wasDrawn = false;
      if (was) {
        wasDrawn = !pc.isThinned(s);
        if (wasDrawn) {
          const Pixel q = anchorFrom(point.X, point.Y);
          before = Pixel{q.x + kx, q.y + ky};
        }
      }
      if (is) {
        const Pixel q = anchorTo(point.X, point.Y);
        // A point reaching in across the left or top edge may have its anchor or its pixel
        // land a pixel off the pan (truncation toward zero): it is decided and drawn anew.
        bool moved = false;
        if (was) {
          const Pixel o = anchorFrom(point.X, point.Y);
          moved = o.x + kx != q.x || o.y + ky != q.y ||
                  mFrom.toX(point.X) + kx != mTo.toX(point.X) ||
                  mFrom.toY(point.Y) + ky != mTo.toY(point.Y);
        }
        const int dx = q.x - now.x, dy = q.y - now.y;
        const bool thinned = -3 < dx && dx < 3 && -3 < dy && dy < 3;
        if (!thinned)
          now = q;
        if (!was || wasDrawn == thinned || moved) {
          noteNearEdge(pc, *s, mTo, anchorTo);
          if (thinned)
            pc.thinned[s] = s->ShapeNumber;
          else
            pc.thinned.erase(s);
          damage += shapePixels(*s, mTo, pad, w, h);
          if (moved)
            damage += shifted(shapePixels(*s, mFrom, pad, w, h), kx, ky);
        }
      } else if (was) {
        pc.thinned.erase(s);
        damage += shifted(shapePixels(*s, mFrom, pad, w, h), kx, ky);
      }
    }
    if (same(now, before)) {
      if (e >= edits.size()) {
        toTheEnd = false;
        break;
      }
      const long long next = edits[e];
      if (next > p) {
        now = before = drawnBefore(next, p - 1, now);
        p = next;
      }
    }
  }
  if (steps > mostSteps)
    return false;
  if (toTheEnd) {
    pc.lastPointX = now.x;
    pc.lastPointY = now.y;
  }
  return true;
}

// The pixels within `pad` of a straight piece between two pixels, as rectangles along it a few
// pixels long, within the client: a line across the view whose pixels shift by one damages a
// strip along itself, not the box around it. The piece is first cut to the client widened by
// the pad.
void addStrip(std::vector<QRect> &d, QPointF a, QPointF b, long long pad, const QRect &client) {
  const double p = static_cast<double>(pad) + 1.0;
  const double x0 = client.left() - p, x1 = client.right() + 1 + p;
  const double y0 = client.top() - p, y1 = client.bottom() + 1 + p;
  double t0 = 0.0, t1 = 1.0;
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  if (!clipPiece(a.x(), a.y(), b.x(), b.y(), x0, y0, x1, y1, t0, t1))
    return;
  const QPointF from = a + QPointF(dx, dy) * t0, to = a + QPointF(dx, dy) * t1;
  // Each piece adds its box: pieces about as long as the strip is wide keep a slanted line's
  // boxes close to it, longer ones add a square of pixels far from it.
  const double pieceLength = std::max(16.0, 2.0 * p);
  const double along = std::max(std::fabs(to.x() - from.x()), std::fabs(to.y() - from.y()));
  const int pieces = std::max(1, static_cast<int>(std::ceil(along / pieceLength)));
  for (int k = 0; k < pieces; ++k) {
    const QPointF u = from + (to - from) * (static_cast<double>(k) / pieces);
    const QPointF v = from + (to - from) * (static_cast<double>(k + 1) / pieces);
    const QRect r(QPoint(static_cast<int>(std::floor(std::min(u.x(), v.x()) - p)),
                         static_cast<int>(std::floor(std::min(u.y(), v.y()) - p))),
                  QPoint(static_cast<int>(std::ceil(std::max(u.x(), v.x()) + p)),
                         static_cast<int>(std::ceil(std::max(u.y(), v.y()) + p))));
    d.push_back(r.intersected(client));
  }
}

// Adds where a shape that does not move with the view may change its pixels: a strip along
// each straight piece of an outline, or the box around the shape for anything that fills or
// curves.
void addChangedShape(std::vector<QRect> &d, const TQShape &s, const ViewMapping &m, long long pad,
                     const QRect &client) {
  const auto at = [&](double x, double y) { return QPointF(m.toX(x), m.toY(y)); };
  // A one-pixel pen lays its pixels within half a pixel of the path between the truncated
  // ends, which a pan moves by at most a pixel: its old and new pixels lie within two pixels of
  // the new path. A wider pen reaches as far as its own overhang.
  const long long along = !s.Selected && s.PenWidth <= 1 ? 2 : std::min(pad, overhangOf(s, m) + 2);
  if (const auto *l = dynamic_cast<const TQLine *>(&s)) {
    addStrip(d, at(l->X1, l->Y1), at(l->X2, l->Y2), along, client);
    return;
  }
  if (const auto *a = dynamic_cast<const TQArc *>(&s)) {
    addStrip(d, at(a->X1, a->Y1), at(a->X2, a->Y2), pad, client);
    addStrip(d, at(a->X2, a->Y2), at(a->X3, a->Y3), pad, client);
    return;
  }
  if (const auto *p = dynamic_cast<const TQPolyline *>(&s);
      p && !p->Closed && s.ShapeType != 8 && s.ShapeType != 10) {
    for (std::size_t i = 0; i + 1 < p->Points.size(); ++i)
      addStrip(d, at(p->Points[i].X, p->Points[i].Y), at(p->Points[i + 1].X, p->Points[i + 1].Y),
               along, client);
    return;
  }
  const double x0 = (s.MinX - m.left) * m.scaleX, x1 = (s.MaxX - m.left) * m.scaleX;
  const double y0 = (m.top - s.MaxY) * m.scaleY, y1 = (m.top - s.MinY) * m.scaleY;
  const QRect reach(QPoint(static_cast<int>(std::floor(x0)) - static_cast<int>(pad),
                           static_cast<int>(std::floor(y0)) - static_cast<int>(pad)),
                    QPoint(static_cast<int>(std::ceil(x1)) + static_cast<int>(pad),
                           static_cast<int>(std::ceil(y1)) + static_cast<int>(pad)));
  d.push_back(reach.intersected(client));
}

} // namespace

void TTarvikCanvas::noteViewPan() {
  PaintCache &pc = *paintCache_;
  const std::uint64_t marks = BackBufferDirty.settings();
  // The pan's own marking must be the only one since the last paint or the pan before.
  const bool onlyPans =
      pc.recorded && (marks == pc.cleanMarks + 1 || (pc.panOnly && marks == pc.panMarks + 1));
  pc.panMarks = marks;
  int kx = 0, ky = 0;
  const canvas::ViewFrame now = canvas::currentViewFrame(*this);
  if (!onlyPans || !wholePixelShift(pc.frame, now, kx, ky)) {
    pc.panOnly = false;
    return;
  }
  // What was noted in pixels since follows the drawing across the client.
  const QRect client(0, 0, std::max(width(), 1), std::max(height(), 1));
  for (QRect &r : pc.damage)
    r = shifted(r, kx, ky).intersected(client);
  std::erase_if(pc.damage, [](const QRect &r) { return r.isEmpty(); });
  if (pc.lastPointX != -9999 || pc.lastPointY != -9999) {
    pc.lastPointX += kx;
    pc.lastPointY += ky;
  }
  for (DrawnText &t : pc.texts)
    t.reach = shifted(t.reach, kx, ky);
  pc.textIndex.forget();
  pc.shiftX += kx;
  pc.shiftY += ky;
  pc.frame = now;
  pc.panOnly = true;
}

bool TTarvikCanvas::scrollCache(QRegion &damage) {
  PaintCache &pc = *paintCache_;
  const canvas::ViewFrame from = pc.settings.view;
  const canvas::ViewFrame to = canvas::currentViewFrame(*this);
  int kx = 0, ky = 0;
  if (!wholePixelShift(from, to, kx, ky) || kx != pc.shiftX || ky != pc.shiftY || !(to == pc.frame))
    return false;
  // What a host draws below the shapes is its own: nothing here knows which of it crosses an
  // edge, so a view it draws into is drawn whole.
  if (pc.capReached || pc.unmovable || pc.overhang > maxPartialOverhang ||
      BackBuffer.depth() != 32 || !canvas::finiteView(*this) || (GridVisible && GridMode == 1) ||
      OnDrawBelowShapes)
    return false;
  const int w = to.width, h = to.height;
  const canvas::ViewMapping mFrom(from.left, from.right, from.top, from.bottom, w, h);
  const canvas::ViewMapping mTo(to.left, to.right, to.top, to.bottom, w, h);
  const long long pad = pc.overhang + 2;
  const QRect client(0, 0, w, h);
  QRegion d;
  // Strips along shapes drawn anew, joined into d at once: a region grown a rectangle at a time
  // costs the square of their number.
  std::vector<QRect> strips;

  // Shapes near the edges that moved. Shapes coming into the view or leaving it lie within the
  // uncovered strips and the bands along the edges below, but points and texts also change what
  // others show: thinning decides each point by the last one drawn, and texts lie over
  // everything in their order. Those are noted here and settled further down. A shape across the
  // left or top edge has coordinates below 0 in one view, which truncation moves by a pixel: it
  // is drawn anew wherever it reaches, a line along itself. A shape arriving must
  // fit the bands: its pen no wider than any drawn, its picture able to move with the view.
  const LayerFlags layers(Layers, NextLayerIndex);
  const bool xMoved = from.left != to.left || from.right != to.right;
  const bool yMoved = from.top != to.top || from.bottom != to.bottom;
  const double padX = static_cast<double>(pad + 1) / mTo.scaleX;
  const double padY = static_cast<double>(pad + 1) / mTo.scaleY;
  const double xLo = std::min(from.left, to.left) - padX,
               xHi = std::max(from.right, to.right) + padX;
  const double yLo = std::min(from.bottom, to.bottom) - padY,
               yHi = std::max(from.top, to.top) + padY;
  struct Band {
    WorldRect r;
    bool across; // shapes meeting it may reach below pixel 0
  };
  std::vector<Band> bands;
  if (xMoved) {
    bands.push_back(
        {{std::min(from.left, to.left) - padX, yLo, std::max(from.left, to.left) + padX, yHi},
         true});
    bands.push_back(
        {{std::min(from.right, to.right) - padX, yLo, std::max(from.right, to.right) + padX, yHi},
         false});
  }
  if (yMoved) {
    bands.push_back(
        {{xLo, std::min(from.top, to.top) - padY, xHi, std::max(from.top, to.top) + padY}, true});
    bands.push_back({{xLo, std::min(from.bottom, to.bottom) - padY, xHi,
                      std::max(from.bottom, to.bottom) + padY},
                     false});
  }
  // Texts are drawn only by the navigation variant's texts pass or the editor's when it is not
  // interacting; the editor's texts give way to each other across the whole view, which only a
  // full redraw decides.
  const bool textsDrawn = NavigationVariant || !FInteracting;
  std::vector<int> pointEdits;
  const AnchorMapping anchorFrom(from), anchorTo(to);
  std::vector<std::pair<int, TQText *>> textsIn;
  std::unordered_set<std::int32_t> textsOut;
  long long coming = 0;
  // Walking more shapes than half of what a full redraw draws costs about as much as one.
  long long walked = 0;
  const long long mostWalked = pc.drawn / 2 + 1024;
  for (const Band &band : bands) {
    ShapePositionsNear(band.r.minX, band.r.minY, band.r.maxX, band.r.maxY, pc.nearby);
    walked += static_cast<long long>(pc.nearby.size());
    if (walked > mostWalked)
      return false;
    for (int i : pc.nearby) {
      if (i < 0 || i >= Shapes.size())
        continue;
      TQShape *s = Shapes[i];
      if (!s->Visible || !layers.drawn(s->Layer))
        continue;
      const bool before = !missesFrame(from, *s), after = !missesFrame(to, *s);
      if (!before && !after)
        continue;
      const bool point = s->ShapeType == 17 && isPoint(*s);
      const bool placed = s->ShapeType == 11 || point;
      if (before != after) {
        ++coming;
        if (point) {
          // A point of a larger size than any drawn reaches past the bands.
          if (overhangOf(*s, mTo) > pc.overhang)
            return false;
          pointEdits.push_back(i);
        } else if (s->ShapeType == 11 && textsDrawn) {
          auto *text = dynamic_cast<TQText *>(s);
          if (!NavigationVariant || !text)
            return false;
          if (before)
            textsOut.insert(s->ShapeNumber);
          else if (std::none_of(textsIn.begin(), textsIn.end(),
                                [&](const auto &t) { return t.first == i; }))
            textsIn.emplace_back(i, text);
        } else if (after && s->ShapeType != 11 &&
                   (overhangOf(*s, mTo) > pc.overhang || unmovable(*s, mTo))) {
          return false;
        }
      }
      if (band.across && point && before == after) {
        const auto &p = *static_cast<const TQPoint *>(s);
        const Pixel o = anchorFrom(p.X, p.Y), q = anchorTo(p.X, p.Y);
        if (o.x + kx != q.x || o.y + ky != q.y || mFrom.toX(p.X) + kx != mTo.toX(p.X) ||
            mFrom.toY(p.Y) + ky != mTo.toY(p.Y))
          pointEdits.push_back(i);
      }
      if (!band.across || placed)
        continue;
      const double x0 = (s->MinX - to.left) * mTo.scaleX, x1 = (s->MaxX - to.left) * mTo.scaleX;
      const double y0 = (to.top - s->MaxY) * mTo.scaleY, y1 = (to.top - s->MinY) * mTo.scaleY;
      constexpr double far = 1 << 20;
      if (!(std::fabs(x0) < far && std::fabs(x1) < far && std::fabs(y0) < far &&
            std::fabs(y1) < far))
        return false;
      // A shape whose pixel numbers all move by the pan's pixels is drawn as before, moved: the
      // move uncovers the rest of it. A curve's control points are truncated from sums of those
      // numbers, which may change sign at the first row or column: it is drawn anew.
      const bool curve = s->ShapeType == 8 || s->ShapeType == 10;
      if (!curve && movesWithPicture(*s, from, to, kx, ky))
        continue;
      addChangedShape(strips, *s, mTo, pad, client);
    }
  }

  // Anywhere in the view, a shape with a pixel number within a hair of a whole pixel may land a
  // pixel off the pan, the view's edges being rounded: those noted as such are tested one by
  // one, and the few that did not follow the pan are drawn anew (points decided anew). The hair
  // must stay wider than the pans have drifted since the last full redraw.
  {
    const double ww0 = from.right - from.left, wh0 = from.top - from.bottom;
    const double fx = (from.left - to.left) * (w / ww0), fy = (to.top - from.top) * (h / wh0);
    const double scaleMoved =
        std::fabs(mTo.scaleX / mFrom.scaleX - 1.0) + std::fabs(mTo.scaleY / mFrom.scaleY - 1.0);
    const double largest = std::max(
        {std::fabs(from.left), std::fabs(from.right), std::fabs(from.top), std::fabs(from.bottom)});
    constexpr double reach = 1 << 21; // pixels: beyond, shapes are not scrolled at all
    const double rounding = 64 * std::numeric_limits<double>::epsilon() *
                            (largest * std::max(mTo.scaleX, mTo.scaleY) + reach);
    pc.drift += std::fabs(fx - kx) + std::fabs(fy - ky) + scaleMoved * reach + rounding;
    if (!(pc.drift < pixelEdgeTolerance / 4))
      return false;
  }
  for (auto it = pc.nearEdge.begin(); it != pc.nearEdge.end();) {
    const TQShape *s = it->first;
    const int i = Shapes.indexOfNumber(it->second);
    if (i < 0 || Shapes[i] != s) {
      it = pc.nearEdge.erase(it); // gone: what it left was noted when it went
      continue;
    }
    ++it;
    if (!s->Visible || !layers.drawn(s->Layer) || missesFrame(from, *s) || missesFrame(to, *s))
      continue; // arriving or leaving: the bands take it
    if (movesWithPicture(*s, from, to, kx, ky))
      continue;
    if (s->ShapeType == 17 && isPoint(*s))
      pointEdits.push_back(i);
    else
      addChangedShape(strips, *s, mTo, pad, client);
  }

  d += canvas::unionOf(strips);

  // Texts drawn stay where they were unless the move carried their anchor across an edge
  // beyond which texts are left out, or across the first pixel row or column (pixels are
  // truncated toward zero, so a coordinate moving from below 0 to above lands a pixel off):
  // those are drawn anew where they were and where they go. Texts that left the view are taken
  // off where they were. The editor's text boxes stand at the anchors' pixels by the horizontal
  // scale, which in a view whose pixels are not square move by other than the pan's pixels:
  // their choices hold while every anchor moves alike.
  std::optional<Pixel> boxShift;
  std::vector<DrawnText> texts;
  texts.reserve(pc.texts.size());
  for (const DrawnText &t : pc.texts) {
    auto *text = dynamic_cast<TQText *>(FindShape(t.number));
    if (!text)
      return false;
    if (textsOut.count(t.number)) {
      d += t.reach.intersected(client);
      continue;
    }
    const int ax = mFrom.toX(text->X), ay = mFrom.toY(text->Y);
    const int bx = mTo.toX(text->X), by = mTo.toY(text->Y);
    const auto left = [&](int x, int y) {
      return x < -500 || x > w + 500 || y < -100 || y > h + 100;
    };
    bool boxesMoveAlike = true;
    if (!NavigationVariant) {
      const Pixel p0 = anchorFrom(text->X, text->Y), p1 = anchorTo(text->X, text->Y);
      const Pixel moved{p1.x - p0.x, p1.y - p0.y};
      if (!boxShift)
        boxShift = moved;
      boxesMoveAlike = boxShift->x == moved.x && boxShift->y == moved.y;
    }
    if (bx != ax + kx || by != ay + ky || !boxesMoveAlike || left(ax, ay) != left(bx, by)) {
      if (!NavigationVariant)
        return false;
      d += t.reach.intersected(client);
      const QRect reach = reachNow(*this, *text, w, h);
      d += reach.intersected(client);
      texts.push_back(DrawnText{t.number, reach});
      continue;
    }
    texts.push_back(t);
  }
  // Texts that came in take their place in the drawing order (the list keeps it).
  for (const auto &[i, text] : textsIn) {
    const QRect reach = reachNow(*this, *text, w, h);
    d += reach.intersected(client);
    std::size_t lo = 0, hi = texts.size();
    while (lo < hi) {
      const std::size_t mid = lo + (hi - lo) / 2;
      const int other = Shapes.indexOfNumber(texts[mid].number);
      if (other < 0)
        return false;
      if (other < i)
        lo = mid + 1;
      else
        hi = mid;
    }
    texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(lo),
                 DrawnText{text->ShapeNumber, reach});
  }

  if (static_cast<long long>(pc.drawn) + coming + pc.reported >= maxDrawsPerPaint)
    return false;
  if (GridVisible && GridMode == 0 && !canvas::gridScrollDamage(*this, from, to, kx, ky, d))
    return false;
  // What the move uncovers, and bands along the moved edges as wide as a shape may reach past
  // its bounds: shapes that came or went put or left pixels there.
  d += QRegion(client) - QRegion(QRect(kx, ky, w, h));
  const int px = static_cast<int>(std::min<long long>(pad, w));
  const int py = static_cast<int>(std::min<long long>(pad, h));
  if (xMoved) {
    d += QRect(0, 0, std::max(kx, 0) + px, h);
    d += QRect(w - std::max(-kx, 0) - px, 0, std::max(-kx, 0) + px, h);
  }
  if (yMoved) {
    d += QRect(0, 0, w, std::max(ky, 0) + py);
    d += QRect(0, h - std::max(-ky, 0) - py, w, std::max(-ky, 0) + py);
  }
  d &= QRegion(client);
  // A pan that must draw anew nearly all of the view costs more than drawing all of it once,
  // with the scroll's own work and the clip to the pieces on top.
  if (pixelArea(d) * 8 > static_cast<long long>(w) * h * 7)
    return false;
  // Last of the tests that may still give up: what follows changes the recorded facts.
  if (!rethinPoints(*this, pc, from, to, kx, ky, pointEdits, pad, d))
    return false;
  pc.texts = std::move(texts);
  pc.textIndex.forget();

  shiftImage(BackBuffer, kx, ky);
  if (pc.baseValid) {
    if (pc.base.size() == BackBuffer.size() && pc.base.depth() == 32) {
      // The image below the topmost shapes moves too and is drawn anew where the back buffer
      // is, with the shapes below them.
      shiftImage(pc.base, kx, ky);
      GdiCanvas g(pc.base);
      drawBackgroundIn(*this, g, d);
      drawShapesNear(g, d, 0, pc.baseCount);
    } else {
      pc.baseValid = false;
    }
  }
  if (pc.labelledValid && pc.labelSettings.view == from &&
      pc.labelled.size() == BackBuffer.size()) {
    shiftImage(pc.labelled, kx, ky);
    pc.labelSettings.view = to;
    pc.labelDamage = canvas::depthLabelScrollDamage(*this, pc, from, to, kx, ky);
    pc.labelDamage += d;
  } else {
    pc.labelledValid = false;
  }
  pc.drawn += static_cast<int>(coming);
  pc.settings.view = to;
  pc.shiftX = pc.shiftY = 0;
  damage = d;
  return true;
}
