// Painting of the canvas: the back buffer and when it is redrawn, the passes over the shapes with
// their bounds on the work of one paint, the rubber band of a drawing in progress, and the resize
// that keeps the world window at the control's aspect ratio.
#include "canvas/PaintCache.h"
#include "canvas/PaintSupport.h"
#include "canvas/PaintTextBoxes.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"

#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <unordered_set>
#include <vector>

using canvas::clampToPixel;
using canvas::DrawnText;
using canvas::PaintCache;
using canvas::ShapeKey;
using platform::GdiCanvas;

namespace {

// The most shapes one redraw draws, texts included.
constexpr int maxDrawsPerPaint = 500000;

// Up to this many layer indexes get a flag each; beyond it (a drawing file may number its layers
// sparsely and high) the drawn indexes are kept in a set, which answers the same.
constexpr long long denseLayerFlags = 1 << 20;

// Which layer indexes are drawn: those of 0..NextLayerIndex that a visible layer has.
class LayerFlags {
public:
  LayerFlags(const LayerList &layers, int nextLayerIndex) : last_(nextLayerIndex) {
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

  bool drawn(int index) const {
    if (index < 0 || index > last_)
      return false;
    return dense_ ? flags_[static_cast<std::size_t>(index)] != 0 : sparse_.count(index) != 0;
  }

private:
  int last_;
  bool dense_ = true;
  std::vector<unsigned char> flags_;
  std::unordered_set<int> sparse_;
};

bool missesView(const TTarvikCanvas &c, const TQShape &s) {
  return s.MaxX < c.WorldLeft || s.MinX > c.WorldRight || s.MaxY < c.WorldBottom ||
         s.MinY > c.WorldTop;
}

bool missesFrame(const canvas::ViewFrame &f, const TQShape &s) {
  return s.MaxX < f.left || s.MinX > f.right || s.MaxY < f.bottom || s.MinY > f.top;
}

// Notes what keeps a drawn shape's pixels from moving with the view: bounds so far off the
// client that pixel coordinates are clamped, or a hatch, whose pattern is held to the client's
// corner.
void noteUnmovable(PaintCache &pc, const TQShape &s, const canvas::ViewMapping &m) {
  constexpr double far = 1 << 20;
  const double x0 = (s.MinX - m.left) * m.scaleX, x1 = (s.MaxX - m.left) * m.scaleX;
  const double y0 = (m.top - s.MaxY) * m.scaleY, y1 = (m.top - s.MinY) * m.scaleY;
  if (!(std::fabs(x0) < far && std::fabs(x1) < far && std::fabs(y0) < far && std::fabs(y1) < far))
    pc.farReach = true;
  if (s.BrushStyle != bsSolid && s.BrushStyle != bsClear)
    pc.hatched = true;
}

// Draws a shape with its pen colour replaced by one that shows on the background.
void drawWithContrast(const TTarvikCanvas &c, TQShape &s, GdiCanvas &g, int w, int h) {
  const TColor own = s.PenFg;
  const TColor shown = c.GetContrastColor(own);
  s.PenFg = shown;
  s.Draw(g, c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h, c.NavigationVariant);
  s.PenFg = own;
}

// Shapes live apart on the heap; asking for the next ones early hides most of the wait for
// memory when a large drawing is walked. Only a hint: nothing is read here.
constexpr int prefetchAhead = 8;

void prefetchShape(const TQShape *s) {
  __builtin_prefetch(s);
  __builtin_prefetch(&s->MinX);
}

struct Pixel {
  int x;
  int y;
};

// How far, in pixels, a shape's drawing may reach beyond the pixels of its bounds: a wide pen
// is centred on the outline (its joins reach further), a point is drawn at a pixel size
// whatever the zoom, and a spline may swing past its points by up to a third of their spread.
// Texts are placed by their font, not their bounds; they are kept apart.
long long overhangOf(const TQShape &s, const canvas::ViewMapping &m) {
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

// A rectangle the pixels of a drawn text stay within, or an empty one when its draw put
// nothing down. Called right after the draw, while the canvas still holds the text's font.
QRect textReach(const TTarvikCanvas &c, const TQText &t, const GdiCanvas &g, int w, int h) {
  if (t.DisplayText.isEmpty())
    return QRect();
  const canvas::ViewMapping m(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h);
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

// The shapes of one redraw in drawing order: those whose bounds meet the view, found through
// the drawing's positions near a rectangle; or every shape (null) when the view is upside down,
// or when the last redraw found most of the drawing in a view not much smaller, where a walk
// over all shapes costs less than listing them.
const std::vector<int> *candidatesInView(TTarvikCanvas &c, std::vector<int> &out,
                                         const PaintCache *known) {
  if (!(c.WorldLeft <= c.WorldRight) || !(c.WorldBottom <= c.WorldTop))
    return nullptr;
  const double area = (c.WorldRight - c.WorldLeft) * (c.WorldTop - c.WorldBottom);
  if (known && known->wideView && area >= known->wideViewArea * 0.5)
    return nullptr;
  c.ShapePositionsNear(c.WorldLeft, c.WorldBottom, c.WorldRight, c.WorldTop, out);
  return &out;
}

// Draws every shape for the view onto g. With a cache, notes what a partial redraw needs to
// draw the same pixels later: the draw count, the overhang, the points left out by thinning,
// the last point drawn, and the texts drawn with their reach.
void drawAllShapesOn(TTarvikCanvas &c, GdiCanvas &g, PaintCache *record,
                     const std::function<void()> &snapshot = {}, int snapshotAt = 0) {
  if (!canvas::finiteView(c))
    return;
  const LayerFlags layers(c.Layers, c.NextLayerIndex);
  const int w = std::max(c.width(), 1);
  const int h = std::max(c.height(), 1);
  double ww = c.WorldRight - c.WorldLeft;
  if (!(ww > 0.0))
    ww = 1.0;
  const double wpp = ww / w;
  const double half = wpp * 0.5;
  const canvas::ViewMapping mapping(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h);
  // The pixel of an anchor by the horizontal scale, for point thinning and text boxes.
  const auto anchor = [&](double x, double y) {
    return Pixel{clampToPixel((x - c.WorldLeft) / wpp), clampToPixel((c.WorldTop - y) / wpp)};
  };

  int drawn = 0;
  Pixel last{-9999, -9999};
  const auto finish = [&](bool capped) {
    if (!record)
      return;
    record->drawn = drawn;
    record->capReached = capped;
    record->lastPointX = last.x;
    record->lastPointY = last.y;
  };
  // The texts that pass the same tests, in list order, for the text pass: the drawing is walked
  // once, which for a large drawing is most of the cost of a redraw.
  std::vector<TQShape *> texts;
  std::vector<int> scratch;
  std::vector<int> &positions = record ? record->positions : scratch;
  const std::vector<int> *near = candidatesInView(c, positions, record);
  const int count = near ? static_cast<int>(near->size()) : c.Shapes.size();
  // Shapes meeting the view: the listed ones, or those the walk below finds.
  int inView = near ? count : 0;
  bool snapshotTaken = !snapshot;
  const auto noteView = [&] {
    if (!record)
      return;
    record->wideView = c.Shapes.size() > 0 && inView >= c.Shapes.size() / 4;
    record->wideViewArea = (c.WorldRight - c.WorldLeft) * (c.WorldTop - c.WorldBottom);
  };
  for (int k = 0; k < count; ++k) {
    const int i = near ? (*near)[static_cast<std::size_t>(k)] : k;
    if (k + prefetchAhead < count)
      prefetchShape(c.Shapes[near ? (*near)[static_cast<std::size_t>(k + prefetchAhead)]
                                  : k + prefetchAhead]);
    if (!snapshotTaken && i >= snapshotAt) {
      snapshot();
      snapshotTaken = true;
    }
    TQShape *s = c.Shapes[i];
    if (missesView(c, *s))
      continue;
    if (!near)
      ++inView;
    if (!s->Visible || !layers.drawn(s->Layer))
      continue;
    if (s->ShapeType == 11) {
      texts.push_back(s);
      continue;
    }
    const TQPoint *point = s->ShapeType == 17 ? dynamic_cast<const TQPoint *>(s) : nullptr;
    if (point) {
      // Thinning against the last point drawn only, whatever its layer or colour.
      const Pixel p = anchor(point->X, point->Y);
      const int dx = p.x - last.x;
      const int dy = p.y - last.y;
      if (-3 < dx && dx < 3 && -3 < dy && dy < 3) {
        if (record)
          record->thinned.emplace(s, s->ShapeNumber);
        continue;
      }
      last = p;
    } else if (s->ShapeType != 1) {
      if (s->MaxX - s->MinX < half && s->MaxY - s->MinY < half)
        continue;
    }
    drawWithContrast(c, *s, g, w, h);
    if (record) {
      record->overhang = std::max(record->overhang, overhangOf(*s, mapping));
      noteUnmovable(*record, *s, mapping);
    }
    if (++drawn >= maxDrawsPerPaint) {
      noteView();
      finish(true);
      return;
    }
  }
  noteView();
  finish(false);
  if (!snapshotTaken)
    snapshot();

  // Texts come last so that they lie over every other shape.
  if (!c.NavigationVariant && c.FInteracting)
    return;
  canvas::ClaimedTextBoxes boxes;
  for (TQShape *s : texts) {
    if (drawn >= maxDrawsPerPaint) {
      finish(true);
      return;
    }
    if (!c.NavigationVariant) {
      if (const auto *text = dynamic_cast<const TQText *>(s)) {
        // A box centred on the anchor whatever the alignment, about 7 pixels a character.
        const Pixel p = anchor(text->X, text->Y);
        const std::int64_t halfWidth = 7 * static_cast<std::int64_t>(text->DisplayText.size()) / 2;
        const canvas::TextBox box{p.x - halfWidth, p.y - 7, p.x + halfWidth, p.y + 7};
        if (!boxes.tryClaim(box))
          continue;
      }
    }
    drawWithContrast(c, *s, g, w, h);
    ++drawn;
    if (record) {
      noteUnmovable(*record, *s, mapping);
      // A text shape is always a TQText; anything else claiming type 11 is redrawn in full.
      const auto *text = dynamic_cast<const TQText *>(s);
      const QRect everywhere(QPoint(-(1 << 30), -(1 << 30)), QPoint(1 << 30, 1 << 30));
      record->texts.push_back(
          DrawnText{s->ShapeNumber, text ? textReach(c, *text, g, w, h) : everywhere});
    }
  }
  finish(false);
}

// Past this many changed rectangles before a paint (a restyle of a whole track layer), the
// whole back buffer is redrawn.
constexpr std::size_t maxDamageRects = 256;
// Shapes reaching further than this beyond their bounds make a partial redraw look at too
// much; the whole back buffer is redrawn instead.
constexpr long long maxPartialOverhang = 256;

// Shapes drawn over the image of what lies below them: the topmost when it is made, and those
// put on top since, up to this many.
constexpr int topShapesOverBase = 32;
constexpr std::size_t maxShapesOverBase = 4096;

// The world rectangle whose shapes may put pixels into the pixel rectangle.
struct WorldRect {
  double minX, minY, maxX, maxY;
};

WorldRect worldAround(const TTarvikCanvas &c, const canvas::ViewMapping &m, const QRect &r,
                      long long pad) {
  const double p = static_cast<double>(pad);
  return WorldRect{
      c.WorldLeft + (r.left() - p) / m.scaleX, c.WorldTop - (r.bottom() + 1 + p) / m.scaleY,
      c.WorldLeft + (r.right() + 1 + p) / m.scaleX, c.WorldTop - (r.top() - p) / m.scaleY};
}

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

QRect shifted(const QRect &r, int kx, int ky) { return r.isEmpty() ? r : r.translated(kx, ky); }

bool isPoint(const TQShape &s) {
  return s.ShapeType == 17 && dynamic_cast<const TQPoint *>(&s) != nullptr;
}

// The pixels a shape's drawing may touch in a view: its bounds' pixels and `pad` around them,
// within the client.
QRect shapePixels(const TQShape &s, const canvas::ViewMapping &m, long long pad, int w, int h) {
  const long long x0 = m.toX(s.MinX), x1 = m.toX(s.MaxX);
  const long long y0 = m.toY(s.MaxY), y1 = m.toY(s.MinY);
  return QRect(QPoint(static_cast<int>(std::clamp<long long>(std::min(x0, x1) - pad, -1, w + 1)),
                      static_cast<int>(std::clamp<long long>(std::min(y0, y1) - pad, -1, h + 1))),
               QPoint(static_cast<int>(std::clamp<long long>(std::max(x0, x1) + pad, -1, w + 1)),
                      static_cast<int>(std::clamp<long long>(std::max(y0, y1) + pad, -1, h + 1))))
      .intersected(QRect(0, 0, w, h));
}

// Where a text drawn now in the canvas's view puts its pixels: it is drawn onto a one-pixel image
// (nothing of it lands there) for the font its draw chooses, then measured.
QRect reachNow(const TTarvikCanvas &c, TQText &t, int w, int h) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  GdiCanvas g(scratch);
  drawWithContrast(c, t, g, w, h);
  return textReach(c, t, g, w, h);
}

// The pixel of a point's anchor in a view by its horizontal scale, as the thinning of a full
// redraw finds it.
struct AnchorMapping {
  double left, top, wpp;
  AnchorMapping(const canvas::ViewFrame &f) : left(f.left), top(f.top) {
    double ww = f.right - f.left;
    if (!(ww > 0.0))
      ww = 1.0;
    wpp = ww / std::max(f.width, 1);
  }
  Pixel operator()(const TQPoint &p) const {
    return Pixel{clampToPixel((p.X - left) / wpp), clampToPixel((top - p.Y) / wpp)};
  }
};

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
  // The shapes walked: all of them over a view that holds most of the drawing, else those near
  // the two views, in drawing order either way.
  const std::vector<int> *near = nullptr;
  if (!pc.wideView) {
    c.ShapePositionsNear(std::min(from.left, to.left), std::min(from.bottom, to.bottom),
                         std::max(from.right, to.right), std::max(from.top, to.top), pc.positions);
    near = &pc.positions;
  }
  const long long size = near ? static_cast<long long>(near->size()) : n;
  const auto at = [&](long long p) {
    return near ? (*near)[static_cast<std::size_t>(p)] : static_cast<int>(p);
  };
  const auto posOf = [&](int i) -> long long {
    return near ? std::lower_bound(near->begin(), near->end(), i) - near->begin() : i;
  };
  const auto counted = [&](const TQShape *s) {
    return s->ShapeType == 17 && s->Visible && layers.drawn(s->Layer) && isPoint(*s);
  };
  constexpr long long mostSteps = 1 << 17;
  long long steps = 0;
  const Pixel none{-9999, -9999};
  // The last point drawn before position p and after position stop, by the old decisions (which
  // hold there); `otherwise` when there is none.
  const auto drawnBefore = [&](long long p, long long stop, Pixel otherwise) {
    for (long long q = p - 1; q > stop && steps < mostSteps; --q, ++steps) {
      const int i = at(q);
      if (i < 0 || i >= n)
        continue;
      const TQShape *s = c.Shapes[i];
      if (counted(s) && !missesFrame(to, *s) && !pc.isThinned(s))
        return anchorTo(*static_cast<const TQPoint *>(s));
    }
    return otherwise;
  };
  const auto same = [](Pixel a, Pixel b) { return a.x == b.x && a.y == b.y; };

  long long p = posOf(edits.front());
  Pixel now = drawnBefore(p, -1, none);
  Pixel before = now; // the old decisions' last point drawn, in the pixels of `to`
  std::size_t e = 0;
  bool toTheEnd = true;
  while (p < size) {
    if (++steps > mostSteps)
      return false;
    const int i = at(p++);
    if (i < 0 || i >= n)
      continue;
    while (e < edits.size() && edits[e] <= i)
      ++e;
    TQShape *s = c.Shapes[i];
    if (counted(s)) {
      const auto &point = *static_cast<const TQPoint *>(s);
      const bool was = !missesFrame(from, *s), is = !missesFrame(to, *s);
      bool wasDrawn = false;
      if (was) {
        wasDrawn = !pc.isThinned(s);
        if (wasDrawn) {
          const Pixel q = anchorFrom(point);
          before = Pixel{q.x + kx, q.y + ky};
        }
      }
      if (is) {
        const Pixel q = anchorTo(point);
        // A point reaching in across the left or top edge may have its anchor or its pixel
        // land a pixel off the pan (truncation toward zero): it is decided and drawn anew.
        bool moved = false;
        if (was) {
          const Pixel o = anchorFrom(point);
          moved = o.x + kx != q.x || o.y + ky != q.y ||
                  mFrom.toX(point.X) + kx != mTo.toX(point.X) ||
                  mFrom.toY(point.Y) + ky != mTo.toY(point.Y);
        }
        const int dx = q.x - now.x, dy = q.y - now.y;
        const bool thinned = -3 < dx && dx < 3 && -3 < dy && dy < 3;
        if (!thinned)
          now = q;
        if (!was || wasDrawn == thinned || moved) {
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
      const long long next = posOf(edits[e]);
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
  if (pc.capReached || pc.farReach || pc.hatched || pc.overhang > maxPartialOverhang ||
      BackBuffer.depth() != 32 || !canvas::finiteView(*this) || (GridVisible && GridMode == 1) ||
      OnDrawBelowShapes)
    return false;
  const int w = to.width, h = to.height;
  const canvas::ViewMapping mFrom(from.left, from.right, from.top, from.bottom, w, h);
  const canvas::ViewMapping mTo(to.left, to.right, to.top, to.bottom, w, h);
  const long long pad = pc.overhang + 2;
  const QRect client(0, 0, w, h);
  QRegion d;

  // Shapes near the edges that moved. Shapes coming into the view or leaving it lie within the
  // uncovered strips and the bands along the edges below, but points and texts also change what
  // others show: thinning decides each point by the last one drawn, and texts lie over
  // everything in their order. Those are noted here and settled further down. A shape across the
  // left or top edge has coordinates below 0 in one view, which truncation moves by a pixel: it
  // is drawn anew wherever it reaches.
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
  for (const Band &band : bands) {
    ShapePositionsNear(band.r.minX, band.r.minY, band.r.maxX, band.r.maxY, pc.nearby);
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
        }
      }
      if (band.across && point && before == after) {
        const auto &p = *static_cast<const TQPoint *>(s);
        const Pixel o = anchorFrom(p), q = anchorTo(p);
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
      const QRect reach(QPoint(static_cast<int>(std::floor(x0)) - static_cast<int>(pad),
                               static_cast<int>(std::floor(y0)) - static_cast<int>(pad)),
                        QPoint(static_cast<int>(std::ceil(x1)) + static_cast<int>(pad),
                               static_cast<int>(std::ceil(y1)) + static_cast<int>(pad)));
      d += reach.intersected(client);
    }
  }

  // Texts drawn stay where they were unless the move carried their anchor across an edge
  // beyond which texts are left out, or across the first pixel row or column (pixels are
  // truncated toward zero, so a coordinate moving from below 0 to above lands a pixel off):
  // those are drawn anew where they were and where they go. Texts that left the view are taken
  // off where they were.
  const double wpp = (to.right - to.left) / w;
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
    const int px0 = clampToPixel((text->X - from.left) / wpp);
    const int py0 = clampToPixel((from.top - text->Y) / wpp);
    const int px1 = clampToPixel((text->X - to.left) / wpp);
    const int py1 = clampToPixel((to.top - text->Y) / wpp);
    const auto left = [&](int x, int y) {
      return x < -500 || x > w + 500 || y < -100 || y > h + 100;
    };
    if (bx != ax + kx || by != ay + ky || px1 != px0 + kx || py1 != py0 + ky ||
        left(ax, ay) != left(bx, by)) {
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
  // Last of the tests that may still give up: what follows changes the recorded facts.
  if (!rethinPoints(*this, pc, from, to, kx, ky, pointEdits, pad, d))
    return false;
  pc.texts = std::move(texts);

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

  shiftImage(BackBuffer, kx, ky);
  if (pc.baseValid) {
    if (pc.base.size() == BackBuffer.size() && pc.base.depth() == 32) {
      // The image below the topmost shapes moves too and is drawn anew where the back buffer
      // is, with the shapes below them.
      shiftImage(pc.base, kx, ky);
      GdiCanvas g(pc.base);
      g.SetClipRegion(d);
      g.Brush.Color = BackColor;
      g.Brush.Style = bsSolid;
      g.FillRect(0, 0, w, h);
      if (GridMode == 0)
        canvas::drawGridOn(*this, g, &d);
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

std::vector<QRect> canvas::nearbyGroups(const QRegion &region, std::size_t most) {
  const auto area = [](const QRect &r) {
    return static_cast<long long>(r.width()) * static_cast<long long>(r.height());
  };
  // A piece joins a group when the rectangle around both covers little more than the two do
  // (a square of 64 pixels a side spare, or a third more).
  constexpr long long spare = 64 * 64;
  std::vector<QRect> groups;
  for (const QRect &piece : region) {
    bool joined = false;
    for (QRect &g : groups) {
      const QRect u = g.united(piece);
      const long long both = area(g) + area(piece);
      if (area(u) <= both + std::max(spare, both / 3)) {
        g = u;
        joined = true;
        break;
      }
    }
    if (!joined) {
      if (groups.size() >= most)
        return {region.boundingRect()};
      groups.push_back(piece);
    }
  }
  return groups;
}

void canvas::copyPixels(QImage &to, const QImage &from, const QRegion &where) {
  if (to.size() != from.size() || to.depth() != 32 || from.depth() != 32)
    return;
  const QRect all(QPoint(0, 0), to.size());
  const qsizetype toLine = to.bytesPerLine(), fromLine = from.bytesPerLine();
  uchar *out = to.bits();
  const uchar *in = from.constBits();
  for (const QRect &piece : where) {
    const QRect r = piece.intersected(all);
    if (r.isEmpty())
      continue;
    const std::size_t bytes = static_cast<std::size_t>(r.width()) * 4;
    for (int y = r.top(); y <= r.bottom(); ++y)
      std::memcpy(out + y * toLine + r.left() * 4, in + y * fromLine + r.left() * 4, bytes);
  }
}

canvas::ViewFrame canvas::currentViewFrame(const TTarvikCanvas &c) {
  return ViewFrame{c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, c.width(), c.height()};
}

canvas::PaintSettings canvas::currentPaintSettings(const TTarvikCanvas &c) {
  PaintSettings s;
  s.view = currentViewFrame(c);
  s.backColor = c.BackColor;
  s.gridVisible = c.GridVisible;
  s.gridAutoScale = c.GridAutoScale;
  s.gridSpacingX = c.GridSpacingX;
  s.gridSpacingY = c.GridSpacingY;
  s.gridColor = c.GridColor;
  s.gridMode = c.GridMode;
  s.interacting = c.FInteracting;
  s.nextLayerIndex = c.NextLayerIndex;
  s.layers.reserve(static_cast<std::size_t>(c.Layers.size()));
  for (const TQLayer *l : c.Layers)
    s.layers.emplace_back(l->Index, l->Visible);
  return s;
}

void TTarvikCanvas::noteShapeChange(const TQShape *s) {
  PaintCache &pc = *paintCache_;
  const auto whole = [&] {
    BackBufferDirty = true;
    pc.clearChanges();
  };
  // Marked by anything but pans by whole pixels: the next paint redraws everything anyway.
  if (BackBufferDirty && !(pc.panOnly && BackBufferDirty.settings() == pc.panMarks))
    return;
  // Texts are placed by their font and the editor's texts by their neighbours: any change to
  // one redraws everything.
  if (!s || !pc.recorded || s->ShapeType == 11 || pc.damage.size() >= maxDamageRects ||
      !canvas::finiteView(*this) ||
      !(std::isfinite(s->MinX) && std::isfinite(s->MaxX) && std::isfinite(s->MinY) &&
        std::isfinite(s->MaxY))) {
    whole();
    return;
  }
  const int w = std::max(width(), 1);
  const int h = std::max(height(), 1);
  const canvas::ViewMapping m(WorldLeft, WorldRight, WorldTop, WorldBottom, w, h);
  ++pc.reported;
  if (pc.baseValid) {
    // The image below the topmost shapes holds while only they change and new ones go on top
    // (a shape just numbered and lying at the top).
    const auto it = pc.above.find(s);
    if (it == pc.above.end() || it->second != s->ShapeNumber) {
      const int n = Shapes.size();
      if (n > 0 && Shapes[n - 1] == s && s->ShapeNumber == NextShapeNumber - 1) {
        pc.above.insert_or_assign(s, s->ShapeNumber); // the address may be a freed shape's
      } else {
        pc.baseValid = false;
        pc.baseWait = std::min(pc.baseWait * 2, 1024);
      }
    }
  }

  if (s->ShapeType == 17 && dynamic_cast<const TQPoint *>(s)) {
    // Thinning makes each point depend on the points drawn before it. A point thinning left
    // out shows no pixels, however it changes. A point just put on top is decided here against
    // the last point drawn, as the full redraw would decide it. Any other point changed keeps
    // its decision unless it goes: the next paint checks that it is still there.
    if (pc.isThinned(s))
      return;
    const auto appended = pc.appendedPoints.find(s);
    const bool known = appended != pc.appendedPoints.end() && appended->second == s->ShapeNumber;
    const int n = Shapes.size();
    pc.pointsToCheck.push_back(ShapeKey{s, s->ShapeNumber});
    if (!known && n > 0 && Shapes[n - 1] == s) {
      pc.appendedPoints[s] = s->ShapeNumber;
      const auto *point = static_cast<const TQPoint *>(s);
      const LayerFlags layers(Layers, NextLayerIndex);
      if (!s->Visible || !layers.drawn(s->Layer) || missesView(*this, *s))
        return;
      double ww = WorldRight - WorldLeft;
      if (!(ww > 0.0))
        ww = 1.0;
      const double wpp = ww / w;
      const int px = clampToPixel((point->X - WorldLeft) / wpp);
      const int py = clampToPixel((WorldTop - point->Y) / wpp);
      const int dx = px - pc.lastPointX;
      const int dy = py - pc.lastPointY;
      if (-3 < dx && dx < 3 && -3 < dy && dy < 3) {
        pc.thinned[s] = s->ShapeNumber;
        return;
      }
      pc.lastPointX = px;
      pc.lastPointY = py;
    }
  }

  const long long own = overhangOf(*s, m);
  pc.overhang = std::max(pc.overhang, own);
  if (pc.overhang > maxPartialOverhang) {
    whole();
    return;
  }
  const QRect r = shapePixels(*s, m, pc.overhang + 2, w, h);
  if (!r.isEmpty())
    pc.damage.push_back(r);
}

void TTarvikCanvas::drawShapesNear(GdiCanvas &g, const QRegion &region, int from, int to) {
  PaintCache &pc = *paintCache_;
  const int w = std::max(width(), 1);
  const int h = std::max(height(), 1);
  const canvas::ViewMapping m(WorldLeft, WorldRight, WorldTop, WorldBottom, w, h);
  const long long pad = pc.overhang + 2;
  // A look-up around each group of pieces lying together (a band along an edge, the boxes of
  // texts near it), or one around all of the region when it falls into many groups; the clip
  // keeps whatever lies between. A scroll's bands lie along opposite edges: one look-up around
  // both would take in every shape of the view.
  std::vector<int> &all = pc.positions;
  all.clear();
  const auto lookUp = [&](const QRect &r, std::vector<int> &out) {
    const WorldRect q = worldAround(*this, m, r, pad);
    ShapePositionsNear(q.minX, q.minY, q.maxX, q.maxY, out);
  };
  const std::vector<QRect> groups = canvas::nearbyGroups(region, 64);
  if (groups.size() <= 1) {
    lookUp(region.boundingRect(), all);
  } else {
    for (const QRect &r : groups) {
      lookUp(r, pc.nearby);
      all.insert(all.end(), pc.nearby.begin(), pc.nearby.end());
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
  }
  const LayerFlags layers(Layers, NextLayerIndex);
  double ww = WorldRight - WorldLeft;
  if (!(ww > 0.0))
    ww = 1.0;
  const double half = ww / w * 0.5;
  const int count = Shapes.size();
  for (int i : all) {
    if (i < from || i >= to || i < 0 || i >= count)
      continue;
    TQShape *s = Shapes[i];
    if (s->ShapeType == 11 || !s->Visible || !layers.drawn(s->Layer) || missesView(*this, *s))
      continue;
    if (s->ShapeType == 17 && dynamic_cast<const TQPoint *>(s)) {
      if (pc.isThinned(s))
        continue;
    } else if (s->ShapeType != 1) {
      if (s->MaxX - s->MinX < half && s->MaxY - s->MinY < half)
        continue;
    }
    drawWithContrast(*this, *s, g, w, h);
    // A shape drawn here for the first time (one a scroll brought into the view) counts like
    // those the full redraw drew.
    pc.overhang = std::max(pc.overhang, overhangOf(*s, m));
    noteUnmovable(pc, *s, m);
  }
}

bool TTarvikCanvas::redrawDamage(QRegion &damaged) {
  PaintCache &pc = *paintCache_;
  const int w = std::max(width(), 1);
  const int h = std::max(height(), 1);
  if (!pc.recorded || pc.capReached ||
      static_cast<long long>(pc.drawn) + pc.reported >= maxDrawsPerPaint ||
      pc.overhang > maxPartialOverhang || pc.damage.size() > maxDamageRects ||
      !canvas::finiteView(*this) || (GridMode == 1 && GridVisible) || !(WorldLeft <= WorldRight) ||
      !(WorldBottom <= WorldTop))
    return false;
  for (const ShapeKey &k : pc.pointsToCheck)
    if (FindShape(k.number) != k.shape)
      return false;
  const int count = Shapes.size();
  if (pc.baseValid && count - pc.baseCount > static_cast<int>(maxShapesOverBase))
    pc.baseValid = false; // too many on top: made anew after a few paints
  if (pc.baseValid && pc.above.size() > 2 * static_cast<std::size_t>(count - pc.baseCount) + 64) {
    // Shapes taken off the top since stay listed until here.
    pc.above.clear();
    for (int i = std::max(pc.baseCount, 0); i < count; ++i)
      pc.above.emplace(Shapes[i], Shapes[i]->ShapeNumber);
  }

  for (const QRect &r : pc.damage)
    damaged += r;
  if (damaged.isEmpty())
    return true;
  // Changes lying close together (the boat's lines and rings) are redrawn as the one rectangle
  // around them: a clip of many pieces costs more than the few pixels it spares.
  if (damaged.rectCount() > 1) {
    long long area = 0;
    for (const QRect &r : damaged)
      area += static_cast<long long>(r.width()) * r.height();
    const QRect around = damaged.boundingRect();
    if (static_cast<long long>(around.width()) * around.height() <= 2 * area)
      damaged = QRegion(around);
  }

  // The same steps as a full redraw, each confined to the damaged pixels.
  GdiCanvas g;
  if (pc.baseValid) {
    // What lies below the topmost shapes comes from their image; only they are drawn.
    canvas::copyPixels(BackBuffer, pc.base, damaged);
    g.begin(BackBuffer);
    g.SetClipRegion(damaged);
    const canvas::ViewMapping m(WorldLeft, WorldRight, WorldTop, WorldBottom, w, h);
    const WorldRect q = worldAround(*this, m, damaged.boundingRect(), pc.overhang + 2);
    std::vector<int> &all = pc.positions;
    all.clear();
    for (int i = std::max(pc.baseCount, 0); i < count; ++i) {
      const TQShape *s = Shapes[i];
      if (!(s->MaxX < q.minX || s->MinX > q.maxX || s->MaxY < q.minY || s->MinY > q.maxY))
        all.push_back(i);
    }
    const LayerFlags layers(Layers, NextLayerIndex);
    double ww = WorldRight - WorldLeft;
    if (!(ww > 0.0))
      ww = 1.0;
    const double half = ww / w * 0.5;
    for (int i : all) {
      TQShape *s = Shapes[i];
      if (s->ShapeType == 11 || !s->Visible || !layers.drawn(s->Layer) || missesView(*this, *s))
        continue;
      if (s->ShapeType == 17 && dynamic_cast<const TQPoint *>(s)) {
        if (pc.isThinned(s))
          continue;
      } else if (s->ShapeType != 1) {
        if (s->MaxX - s->MinX < half && s->MaxY - s->MinY < half)
          continue;
      }
      drawWithContrast(*this, *s, g, w, h);
    }
  } else {
    g.begin(BackBuffer);
    g.SetClipRegion(damaged);
    g.Brush.Color = BackColor;
    g.Brush.Style = bsSolid;
    g.FillRect(0, 0, w, h);
    if (GridMode == 0)
      canvas::drawGridOn(*this, g, &damaged);
    if (OnDrawBelowShapes)
      OnDrawBelowShapes(g, damaged.boundingRect().intersected(QRect(0, 0, w, h)));
    drawShapesNear(g, damaged, 0, count);
  }
  for (const DrawnText &t : pc.texts) {
    if (!damaged.intersects(t.reach))
      continue;
    TQShape *s = FindShape(t.number);
    if (!s || s->ShapeType != 11)
      return false;
    drawWithContrast(*this, *s, g, w, h);
  }
  return true;
}

std::uint64_t TTarvikCanvas::fullRedrawCount() const { return paintCache_->fullRedraws; }

void TTarvikCanvas::redrawWhole() {
  PaintCache &pc = *paintCache_;
  ++pc.fullRedraws;
  const int w = width();
  const int h = height();
  if (BackBuffer.width() != w || BackBuffer.height() != h)
    BackBuffer = w > 0 && h > 0 ? QImage(w, h, QImage::Format_RGB32) : QImage();
  pc.recorded = false;
  pc.thinned.clear();
  pc.appendedPoints.clear();
  pc.texts.clear();
  pc.overhang = 0;
  pc.drawn = 0;
  pc.capReached = false;
  pc.lastPointX = pc.lastPointY = -9999;
  pc.baseValid = false;
  pc.above.clear();
  pc.partialsWithoutBase = 0;
  pc.farReach = false;
  pc.hatched = false;
  if (!BackBuffer.isNull()) {
    // One canvas for the whole redraw, so the grid over the shapes starts from the state the
    // shapes left, as on a bitmap's own canvas.
    GdiCanvas g(BackBuffer);
    g.Brush.Color = BackColor;
    g.Brush.Style = bsSolid;
    g.FillRect(0, 0, w, h);
    if (GridMode == 0)
      canvas::drawGridOn(*this, g);
    if (OnDrawBelowShapes)
      OnDrawBelowShapes(g, QRect(0, 0, w, h));
    const int n = Shapes.size();
    const int at = std::max(0, n - topShapesOverBase);
    const std::function<void()> snapshot = [&] {
      if (pc.base.size() != BackBuffer.size())
        pc.base = QImage(BackBuffer.size(), QImage::Format_RGB32);
      std::memcpy(pc.base.bits(), BackBuffer.constBits(),
                  static_cast<std::size_t>(BackBuffer.sizeInBytes()));
    };
    drawAllShapesOn(*this, g, &pc, snapshot, at);
    if (!pc.capReached && pc.base.size() == BackBuffer.size() &&
        pc.base.bytesPerLine() == BackBuffer.bytesPerLine()) {
      pc.baseValid = true;
      pc.baseCount = at;
      for (int i = at; i < n; ++i)
        pc.above.emplace(Shapes[i], Shapes[i]->ShapeNumber);
    }
    if (GridMode == 1)
      canvas::drawGridOn(*this, g);
    pc.settings = canvas::currentPaintSettings(*this);
    pc.recorded = true;
  }
  BackBufferDirty = false;
}

void TTarvikCanvas::Paint() {
  PaintCache &pc = *paintCache_;
  const int w = width();
  const int h = height();
  // Pans by whole pixels alone since the last paint: what was drawn moves with the view.
  const bool panned = BackBufferDirty && pc.panOnly && BackBufferDirty.settings() == pc.panMarks;
  // A view, size, grid or layer visibility changed without a word (hosts write those fields
  // directly) also redraws everything.
  bool whole = (BackBufferDirty && !panned) || BackBuffer.width() != w ||
               BackBuffer.height() != h || !pc.recorded;
  QRegion damaged;
  if (!whole && panned) {
    canvas::PaintSettings now = canvas::currentPaintSettings(*this);
    now.view = pc.settings.view;
    whole = !(now == pc.settings) || !scrollCache(damaged);
  }
  whole = whole || !(canvas::currentPaintSettings(*this) == pc.settings);
  // Every full redraw keeps the image below the topmost shapes for the partial redraws to come.
  // Once a change below them has spoilt it, a few partial redraws go without it before a full
  // redraw makes it again (more each time: a drawing that changes below at every tick is left
  // to the partial redraws).
  if (!whole && (!pc.damage.empty() || !damaged.isEmpty())) {
    if (!pc.baseValid && ++pc.partialsWithoutBase >= pc.baseWait)
      whole = true;
    else if (!redrawDamage(damaged))
      whole = true;
  }
  pc.changedByPaint = whole || panned ? QRegion(0, 0, w, h) : damaged;
  if (whole) {
    damaged = QRegion();
    redrawWhole();
    pc.labelledValid = false;
    pc.labelDamage = QRegion();
  } else if (panned) {
    BackBufferDirty = false;
  }
  pc.clearChanges();
  pc.frame = canvas::currentViewFrame(*this);
  pc.cleanMarks = BackBufferDirty.settings();

  GdiCanvas g(*this);
  // The rubber band and the distance measure lie below the depth labels (the band in XOR):
  // while either shows, the labels are drawn over them as they stand.
  const bool below = (RubberBandActive && DrawingInProgress) || MeasureActive;
  // After a full redraw too: the labelled image made now serves the paints that follow.
  if (!below && ShowDepthLabels && !DepthLabels.empty() && !BackBuffer.isNull()) {
    g.Draw(0, 0, labelledBuffer(damaged));
  } else {
    pc.labelledValid = false;
    pc.labelDamage = QRegion();
    if (!BackBuffer.isNull())
      g.Draw(0, 0, BackBuffer);
    DrawRubberBand(g);
    DrawDistanceOverlay(g);
    DrawDepthLabelsOverlay(g);
  }
  DrawEventLabelsOverlay(g);
  DrawCurrentDepthOverlay(g);
  DrawCurrentSpeedOverlay(g);
  DrawGGAOverlay(g);
}

void TTarvikCanvas::DrawAllShapes() {
  if (BackBuffer.isNull())
    return;
  GdiCanvas g(BackBuffer);
  drawAllShapesOn(*this, g, nullptr);
}

void TTarvikCanvas::DrawRubberBand(GdiCanvas &Canvas) {
  if (!RubberBandActive || !DrawingInProgress)
    return;
  Canvas.Pen.Mode = pmXor;
  Canvas.Pen.Color = clWhite;
  Canvas.Pen.Width = 1;
  Canvas.Pen.Style = psSolid;
  int s0x = 0, s0y = 0, s1x = 0, s1y = 0;
  WorldToScreen(RubberStartX, RubberStartY, s0x, s0y);
  WorldToScreen(RubberCurrentX, RubberCurrentY, s1x, s1y);

  // The polyline drawn so far, then on to the mouse; a polygon also back to its first point.
  const auto polylineToMouse = [&](bool closeIt) {
    const TQPolyline *p = PolylineUnderConstruction.get();
    if (!p || p->Points.empty())
      return;
    int fx = 0, fy = 0;
    WorldToScreen(p->Points.front().X, p->Points.front().Y, fx, fy);
    Canvas.MoveTo(fx, fy);
    for (std::size_t i = 1; i < p->Points.size(); ++i) {
      int x = 0, y = 0;
      WorldToScreen(p->Points[i].X, p->Points[i].Y, x, y);
      Canvas.LineTo(x, y);
    }
    Canvas.LineTo(s1x, s1y);
    if (closeIt)
      Canvas.LineTo(fx, fy);
  };

  switch (DrawMode) {
  case 1:
  case 4:
  case -3:
  case -1:
    Canvas.Brush.Style = bsClear;
    Canvas.Rectangle(s0x, s0y, s1x, s1y);
    break;
  case 3:
    Canvas.MoveTo(s0x, s0y);
    Canvas.LineTo(s1x, s1y);
    break;
  case 5:
  case 8:
  case 10:
    polylineToMouse(false);
    break;
  case 6:
    polylineToMouse(true);
    break;
  case 19: {
    const double dx = RubberCurrentX - RubberStartX;
    const double dy = RubberCurrentY - RubberStartY;
    const double r = std::sqrt(dx * dx + dy * dy);
    const long long edge = WorldToAbsX(RubberStartX + r);
    const int pr = clampToPixel(static_cast<double>(std::llabs(edge - s0x)));
    // An outline only: a filled circle in XOR would invert everything under it.
    Canvas.Brush.Style = bsClear;
    Canvas.Ellipse(s0x - pr, s0y - pr, s0x + pr, s0y + pr);
    break;
  }
  default:
    break;
  }
  Canvas.Pen.Mode = pmCopy;
}

void TTarvikCanvas::Resize() {
  if (OnResize)
    OnResize(this);
  const int w = width();
  const int h = height();
  if (w > 0 && h > 0) {
    const double aspect = static_cast<double>(w) / h;
    const double ww = WorldRight - WorldLeft;
    const double wh = WorldTop - WorldBottom;
    const double ratio = ww / (wh > 0.0 ? wh : 1.0);
    const double cx = (WorldLeft + WorldRight) / 2.0;
    const double cy = (WorldBottom + WorldTop) / 2.0;
    if (ratio > aspect) {
      WorldBottom = cy - (ww / aspect) / 2.0;
      WorldTop = cy + (ww / aspect) / 2.0;
    } else {
      WorldLeft = cx - (wh * aspect) / 2.0;
      WorldRight = cx + (wh * aspect) / 2.0;
    }
  }
  BackBufferDirty = true;
}
