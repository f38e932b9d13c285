// Painting of the canvas: the back buffer and when it is redrawn, the passes over the shapes with
// their bounds on the work of one paint, the rubber band of a drawing in progress, and the resize
// that keeps the world window at the control's aspect ratio.
#include "canvas/PaintCache.h"
#include "canvas/PaintPasses.h"
#include "canvas/PaintSupport.h"
#include "canvas/PaintTextBoxes.h"
#include "canvas/RegionCells.h"
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

using namespace canvas;
using platform::GdiCanvas;

namespace {

// Shapes live apart on the heap; asking for the next ones early hides most of the wait for
// memory when a large drawing is walked. Only a hint: nothing is read here.
constexpr int prefetchAhead = 8;

void prefetchShape(const TQShape *s) {
  __builtin_prefetch(s);
  __builtin_prefetch(&s->MinX);
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
  const AnchorMapping anchor(currentViewFrame(c));

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
    if (record)
      noteNearEdge(*record, *s, mapping, anchor);
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
    if (record)
      noteDrawn(*record, *s, mapping);
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
      noteDrawn(*record, *s, mapping);
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

// Shapes drawn over the image of what lies below them: the topmost when it is made, and those
// put on top since, up to this many.
constexpr int topShapesOverBase = 32;
constexpr std::size_t maxShapesOverBase = 4096;

// A region falling into more groups than this is looked up once around all of it.
constexpr std::size_t mostGroupsLookedUp = 8;

// The region cut by a grid of square tiles, as the rectangle around its pixels in each tile;
// the one rectangle around the region when those cover most of it. A strip along a slanted line
// falls into many small groups, and the rectangle around all of it is the whole view.
std::vector<QRect> tiledGroups(const QRegion &region) {
  constexpr int tile = 64;
  const QRect around = region.boundingRect();
  const auto tileOf = [](int v) { return v >= 0 ? v / tile : -((-v + tile - 1) / tile); };
  const int c0 = tileOf(around.left()), r0 = tileOf(around.top());
  const int columns = tileOf(around.right()) - c0 + 1, rows = tileOf(around.bottom()) - r0 + 1;
  std::vector<QRect> tiles(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
  for (const QRect &piece : region)
    for (int r = tileOf(piece.top()); r <= tileOf(piece.bottom()); ++r)
      for (int c = tileOf(piece.left()); c <= tileOf(piece.right()); ++c) {
        QRect &t = tiles[static_cast<std::size_t>(r - r0) * static_cast<std::size_t>(columns) +
                         static_cast<std::size_t>(c - c0)];
        t |= piece.intersected(QRect(c * tile, r * tile, tile, tile));
      }
  std::erase_if(tiles, [](const QRect &t) { return t.isEmpty(); });
  const long long all = static_cast<long long>(around.width()) * around.height();
  if (pixelArea(tiles) * 2 > all)
    return {around};
  return tiles;
}

} // namespace

std::vector<QRect> canvas::nearbyGroups(const QRegion &region, std::size_t most) {
  const auto area = [](const QRect &r) {
    return static_cast<long long>(r.width()) * static_cast<long long>(r.height());
  };
  // A piece joins a group when the rectangle around both covers little more than the pixels of
  // the group and the piece (a square of 64 pixels a side spare, or a third more): a strip along
  // a slanted line stays in pieces of its own width.
  constexpr long long spare = 64 * 64;
  std::vector<QRect> groups;
  std::vector<long long> pixels;
  for (const QRect &piece : region) {
    bool joined = false;
    for (std::size_t k = 0; k < groups.size(); ++k) {
      const QRect u = groups[k].united(piece);
      const long long both = pixels[k] + area(piece);
      if (area(u) <= both + std::max(spare, both / 3)) {
        groups[k] = u;
        pixels[k] = both;
        joined = true;
        break;
      }
    }
    if (!joined) {
      if (groups.size() >= most)
        return tiledGroups(region);
      groups.push_back(piece);
      pixels.push_back(area(piece));
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
      const AnchorMapping anchor(currentViewFrame(*this));
      noteNearEdge(pc, *s, m, anchor);
      const Pixel p = anchor(point->X, point->Y);
      const int dx = p.x - pc.lastPointX;
      const int dy = p.y - pc.lastPointY;
      if (-3 < dx && dx < 3 && -3 < dy && dy < 3) {
        pc.thinned[s] = s->ShapeNumber;
        return;
      }
      pc.lastPointX = p.x;
      pc.lastPointY = p.y;
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
  // Only shapes whose bounds come within reach of the region's cells are listed. The look-up
  // goes around each group of pieces lying together (a band along an edge, the boxes of texts
  // near it): a scroll's bands lie along opposite edges, and one look-up around both would
  // walk every shape of the view. A region in many groups (strips along lines across the view)
  // is looked up once around all of it; the cells keep the list short.
  const canvas::RegionCells cells(region, w, h, pad);
  struct Near {
    const canvas::RegionCells &cells;
    const canvas::ViewMapping &m;
  } near{cells, m};
  const BoundsFilter wanted{[](const void *context, double x0, double y0, double x1, double y1) {
                              const auto &n = *static_cast<const Near *>(context);
                              return n.cells.meetsBounds(n.m, x0, y0, x1, y1);
                            },
                            &near};
  std::vector<int> &all = pc.positions;
  all.clear();
  const auto lookUp = [&](const QRect &r, std::vector<int> &out) {
    const WorldRect q = worldAround(*this, m, r, pad);
    ShapePositionsNear(q.minX, q.minY, q.maxX, q.maxY, out, wanted);
  };
  const std::vector<QRect> groups = canvas::nearbyGroups(region, mostGroupsLookedUp);
  if (groups.size() <= 1 || groups.size() > mostGroupsLookedUp) {
    lookUp(region.boundingRect(), all);
  } else {
    for (const QRect &r : groups) {
      lookUp(r, pc.nearby);
      all.insert(all.end(), pc.nearby.begin(), pc.nearby.end());
    }
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
  }
  // A long slanted line's bounds meet cells its pixels never come near: lines are sorted out by
  // the cells along them.
  std::erase_if(all, [&](int i) {
    if (i < 0 || i >= Shapes.size())
      return true;
    const TQShape &s = *Shapes[i];
    if (s.ShapeType == 3)
      if (const auto *l = dynamic_cast<const TQLine *>(&s))
        return !cells.meetsPiece((l->X1 - m.left) * m.scaleX, (m.top - l->Y1) * m.scaleY,
                                 (l->X2 - m.left) * m.scaleX, (m.top - l->Y2) * m.scaleY);
    return false;
  });
  drawListedShapes(*this, pc, g, all, from, to);
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
    const QRect around = damaged.boundingRect();
    if (static_cast<long long>(around.width()) * around.height() <= 2 * pixelArea(damaged))
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
    // Drawn like the shapes a scroll brings in: what they bring is noted for the pans to come.
    drawListedShapes(*this, pc, g, all, pc.baseCount, count);
  } else {
    g.begin(BackBuffer);
    drawBackgroundIn(*this, g, damaged);
    if (OnDrawBelowShapes)
      OnDrawBelowShapes(g, damaged.boundingRect().intersected(QRect(0, 0, w, h)));
    drawShapesNear(g, damaged, 0, count);
  }
  for (const std::size_t k : pc.textIndex.near(pc.texts, damaged, w, h)) {
    const DrawnText &t = pc.texts[k];
    if (!damaged.intersects(t.reach))
      continue;
    TQShape *s = FindShape(t.number);
    if (!s || s->ShapeType != 11)
      return false;
    drawWithContrast(*this, *s, g, w, h);
  }
  return true;
}

const std::vector<std::size_t> &canvas::TextIndex::near(const std::vector<DrawnText> &texts,
                                                        const QRegion &region, int w, int h) {
  const auto cellsOf = [&](const QRect &r, int &c0, int &r0, int &c1, int &r1) {
    c0 = std::clamp(r.left(), 0, w - 1) / cellSize;
    c1 = std::clamp(r.right(), 0, w - 1) / cellSize;
    r0 = std::clamp(r.top(), 0, h - 1) / cellSize;
    r1 = std::clamp(r.bottom(), 0, h - 1) / cellSize;
  };
  if (!built_ || columns_ != (w + cellSize - 1) / cellSize ||
      rows_ != (h + cellSize - 1) / cellSize) {
    columns_ = (w + cellSize - 1) / cellSize;
    rows_ = (h + cellSize - 1) / cellSize;
    cells_.assign(static_cast<std::size_t>(columns_) * rows_, {});
    wide_.clear();
    for (std::size_t k = 0; k < texts.size(); ++k) {
      const QRect &r = texts[k].reach;
      if (r.isEmpty())
        continue;
      int c0, r0, c1, r1;
      cellsOf(r, c0, r0, c1, r1);
      if (static_cast<long long>(c1 - c0 + 1) * (r1 - r0 + 1) > mostCells) {
        wide_.push_back(k);
        continue;
      }
      for (int y = r0; y <= r1; ++y)
        for (int x = c0; x <= c1; ++x)
          cells_[static_cast<std::size_t>(y) * columns_ + x].push_back(k);
    }
    built_ = true;
  }
  found_ = wide_;
  for (const QRect &piece : region) {
    int c0, r0, c1, r1;
    cellsOf(piece, c0, r0, c1, r1);
    for (int y = r0; y <= r1; ++y)
      for (int x = c0; x <= c1; ++x) {
        const auto &cell = cells_[static_cast<std::size_t>(y) * columns_ + x];
        found_.insert(found_.end(), cell.begin(), cell.end());
      }
  }
  std::sort(found_.begin(), found_.end());
  found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
  return found_;
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
  pc.nearEdge.clear();
  pc.drift = 0.0;
  pc.appendedPoints.clear();
  pc.texts.clear();
  pc.overhang = 0;
  pc.drawn = 0;
  pc.capReached = false;
  pc.lastPointX = pc.lastPointY = -9999;
  pc.baseValid = false;
  pc.above.clear();
  pc.partialsWithoutBase = 0;
  pc.unmovable = false;
  pc.textIndex.forget();
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
