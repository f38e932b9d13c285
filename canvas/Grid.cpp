// The world grid of the back buffer: dotted lines at a chosen or automatic step, their labels
// along the bottom and left edges, and the red axes through the origin.
#include "canvas/PaintCache.h"
#include "canvas/PaintPasses.h"
#include "canvas/PaintSupport.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <vector>

using platform::GdiCanvas;

namespace {

// A direction may hold at most one grid line per pixel of the client (and never fewer than this
// many): a finer step could not be seen as lines, and a tiny fixed step would otherwise lay out
// millions of them.
constexpr int minLineLimit = 64;

int lineLimit(int pixels) { return std::max(pixels, minLineLimit); }

bool usableStep(double span, double step, int pixels) {
  return step > 0.0 && std::isfinite(step) && span / step <= lineLimit(pixels);
}

// Where the lines of one direction go: from the multiple of the step at or below lo, adding the
// step while the coordinate stays at or below hi. The walk ends early when adding the step no
// longer moves the coordinate (a step below the precision of the coordinates).
std::vector<double> linePositions(double lo, double hi, double step, int pixels) {
  std::vector<double> out;
  const std::size_t most = static_cast<std::size_t>(lineLimit(pixels)) + 16;
  double v = std::floor(lo / step) * step;
  while (v <= hi && out.size() < most) {
    out.push_back(v);
    const double next = v + step;
    if (!(next > v))
      break;
    v = next;
  }
  return out;
}

QString label(double value, double step) {
  return platform::fromAnsi(platform::FormatFloat(step >= 1.0 ? "0.#" : "0.###", value));
}

} // namespace

double NiceGridStep(double span, int divisions) {
  if (!(span > 0.0) || !std::isfinite(span) || divisions <= 0)
    return 1.0;
  const double raw = span / divisions;
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  const double r = raw / mag;
  double factor = 10.0;
  if (r < 1.5)
    factor = 1.0;
  else if (r < 3.5)
    factor = 2.0;
  else if (r < 7.5)
    factor = 5.0;
  return factor * mag;
}

namespace {

// Where the grid of a view goes: its steps and the world coordinates of its lines.
struct GridPlan {
  bool shown = false;
  double stepX = 0.0;
  double stepY = 0.0;
  std::vector<double> xs;
  std::vector<double> ys;
};

GridPlan gridPlan(const TTarvikCanvas &c, const canvas::ViewFrame &f) {
  GridPlan p;
  if (!c.GridVisible)
    return p;
  if (!(std::isfinite(f.left) && std::isfinite(f.right) && std::isfinite(f.top) &&
        std::isfinite(f.bottom) && std::isfinite(f.right - f.left) &&
        std::isfinite(f.top - f.bottom)))
    return p;
  const double ww = f.right - f.left;
  const double wh = f.top - f.bottom;
  if (!(ww > 0.0) || !(wh > 0.0))
    return p;
  if (!c.GridAutoScale && usableStep(ww, c.GridSpacingX, f.width) &&
      usableStep(wh, c.GridSpacingY, f.height)) {
    p.stepX = c.GridSpacingX;
    p.stepY = c.GridSpacingY;
  } else {
    p.stepX = p.stepY = NiceGridStep(ww, 8);
    // The width's step serves both directions. A view far taller than the window's shape (a
    // drawing file's view is taken as it stands) would get more rows of lines than the window
    // has pixels, and the bounded walk would draw them only near the bottom: such a view takes
    // its y step from its height.
    if (!usableStep(wh, p.stepY, f.height))
      p.stepY = NiceGridStep(wh, 8);
  }
  p.xs = linePositions(f.left, f.right, p.stepX, f.width);
  p.ys = linePositions(f.bottom, f.top, p.stepY, f.height);
  p.shown = true;
  return p;
}

bool axesShown(const canvas::ViewFrame &f) {
  return f.left < 0.0 && 0.0 < f.right && f.bottom < 0.0 && 0.0 < f.top;
}

// The label boxes of a grid with their texts, as drawGridOn fills and writes them.
struct LabelBox {
  QRect box;
  QString text;
  bool operator<(const LabelBox &o) const {
    if (box.left() != o.box.left())
      return box.left() < o.box.left();
    if (box.top() != o.box.top())
      return box.top() < o.box.top();
    if (box.right() != o.box.right())
      return box.right() < o.box.right();
    if (box.bottom() != o.box.bottom())
      return box.bottom() < o.box.bottom();
    return text < o.text;
  }
  bool operator==(const LabelBox &o) const { return box == o.box && text == o.text; }
};

void setLabelFont(GdiCanvas &g) {
  g.Font.Name = QStringLiteral("Tahoma");
  g.Font.Size = 8;
  g.Font.Color = clBlack;
  g.Font.Bold = false;
  g.Font.Italic = false;
  g.Font.Orientation = 0;
}

// The size of a label's text in the label font (set on g), measured once: a pan measures every
// label of the view before and after it, and the same few texts come back all day.
QSize labelExtent(GdiCanvas &g, const QString &text) {
  static QHash<QString, QSize> sizes;
  if (const auto it = sizes.constFind(text); it != sizes.constEnd())
    return *it;
  if (sizes.size() > 4096)
    sizes.clear();
  const QSize size = g.TextExtent(text);
  sizes.insert(text, size);
  return size;
}

std::vector<LabelBox> labelBoxes(const GridPlan &p, const canvas::ViewFrame &f, GdiCanvas &g,
                                 int kx, int ky) {
  std::vector<LabelBox> out;
  const canvas::ViewMapping m(f.left, f.right, f.top, f.bottom, f.width, f.height);
  const int width = f.width;
  const int height = f.height;
  for (double x : p.xs) {
    const int sx = m.toX(x);
    if (!(sx > 4 && sx <= width - 50))
      continue;
    const QString text = label(x, p.stepX);
    const QSize size = labelExtent(g, text);
    const int half = size.width() / 2;
    out.push_back(
        {QRect(QPoint(sx - half - 2, height - size.height() - 4), QPoint(sx + half + 1, height - 3))
             .translated(kx, ky),
         text});
  }
  for (double y : p.ys) {
    const int sy = m.toY(y);
    if (!(sy > 14 && sy <= height - 20))
      continue;
    const QString text = label(y, p.stepY);
    const QSize size = labelExtent(g, text);
    const int half = size.height() / 2;
    out.push_back(
        {QRect(QPoint(2, sy - half - 1), QPoint(size.width() + 5, sy + half)).translated(kx, ky),
         text});
  }
  std::sort(out.begin(), out.end());
  return out;
}

// The dot pattern of grid lines repeats every this many pixels along a line.
constexpr int dotPeriod = 6;

// The dots of every line are counted from the world's origin: a vertical line's from the row
// of y = 0, a horizontal one's from the column of x = 0. They then move with the drawing, and a
// pan by whole pixels leaves them where the moved image has them.
struct DotOrigin {
  int x;
  int y;
};

DotOrigin dotOrigin(const canvas::ViewMapping &m) { return DotOrigin{m.toX(0.0), m.toY(0.0)}; }

int dotPhase(long long along, int origin) {
  const long long r = (along - origin) % dotPeriod;
  return static_cast<int>(r < 0 ? r + dotPeriod : r);
}

} // namespace

bool canvas::gridScrollDamage(TTarvikCanvas &c, const ViewFrame &from, const ViewFrame &to, int kx,
                              int ky, QRegion &damage) {
  const GridPlan a = gridPlan(c, from);
  const GridPlan b = gridPlan(c, to);
  if (a.shown != b.shown)
    return false;
  if (!a.shown)
    return true;
  const auto capped = [](const GridPlan &p, const ViewFrame &f) {
    return p.xs.size() >= static_cast<std::size_t>(lineLimit(f.width)) + 16 ||
           p.ys.size() >= static_cast<std::size_t>(lineLimit(f.height)) + 16;
  };
  if (a.stepX != b.stepX || a.stepY != b.stepY || capped(a, from) || capped(b, to) ||
      axesShown(from) || axesShown(to))
    return false;
  const int w = to.width;
  const int h = to.height;
  const ViewMapping ma(from.left, from.right, from.top, from.bottom, from.width, from.height);
  const ViewMapping mb(to.left, to.right, to.top, to.bottom, to.width, to.height);
  std::vector<QRect> added; // joined into the damage at once
  // Lines: each starts its dots at the client's edge, so a move along a line by other than a
  // whole number of dot periods draws it anew; lines that came, went or landed elsewhere too.
  const auto lines = [&](const std::vector<double> &oldAt, const std::vector<double> &newAt,
                         bool vertical) {
    const int k = vertical ? kx : ky;
    // The moved image has the dots where a full redraw puts them when the origin they are
    // counted from moved with it by whole periods (it always does, but for a view so far out
    // that the origin's pixel is clamped).
    const DotOrigin oa = dotOrigin(ma), ob = dotOrigin(mb);
    const bool dotsMoved = vertical ? dotPhase(static_cast<long long>(oa.y) + ky, ob.y) != 0
                                    : dotPhase(static_cast<long long>(oa.x) + kx, ob.x) != 0;
    std::vector<int> before, after;
    for (double v : oldAt)
      before.push_back((vertical ? ma.toX(v) : ma.toY(v)) + k);
    for (double v : newAt)
      after.push_back(vertical ? mb.toX(v) : mb.toY(v));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    const auto line = [&](int at) {
      added.push_back(vertical ? QRect(at, 0, 1, h) : QRect(0, at, w, 1));
    };
    for (int at : before)
      if (dotsMoved || !std::binary_search(after.begin(), after.end(), at))
        line(at);
    for (int at : after)
      if (dotsMoved || !std::binary_search(before.begin(), before.end(), at))
        line(at);
  };
  lines(a.xs, b.xs, true);
  lines(a.ys, b.ys, false);
  // Labels: held to the bottom and left edges, so a move across those edges draws them anew.
  GdiCanvas measure;
  setLabelFont(measure);
  const std::vector<LabelBox> before = labelBoxes(a, from, measure, kx, ky);
  const std::vector<LabelBox> after = labelBoxes(b, to, measure, 0, 0);
  // Glyphs may overhang the box a little.
  const auto box = [&](const LabelBox &l) { added.push_back(l.box.adjusted(-2, -2, 2, 2)); };
  for (const LabelBox &l : before)
    if (!std::binary_search(after.begin(), after.end(), l))
      box(l);
  for (const LabelBox &l : after)
    if (!std::binary_search(before.begin(), before.end(), l))
      box(l);
  damage += canvas::unionOf(added);
  return true;
}

namespace {

// A one-pixel dotted line from (x0, y0) to (x1, y1) as a full redraw draws it, its dots counted
// from the origin's row or column, with only the pixels that reach the rows or columns of `area`
// laid down: an axis-parallel line starts at the last pattern period at or before the area (its
// dots fall where they fall on the whole line) and ends after it. Any other line is drawn whole.
void gridLine(GdiCanvas &g, int x0, int y0, int x1, int y1, const QRect *area,
              const DotOrigin &origin) {
  // Started up to a period early, outside the client: the canvas clips it.
  if (x0 == x1 && y0 < y1)
    y0 -= dotPhase(y0, origin.y);
  else if (y0 == y1 && x0 < x1)
    x0 -= dotPhase(x0, origin.x);
  if (area && x0 == x1 && y0 < y1) {
    if (x0 < area->left() || x0 > area->right() || y1 <= area->top() || y0 > area->bottom())
      return;
    const long long skip = std::max(0LL, static_cast<long long>(area->top()) - y0);
    y0 += static_cast<int>(skip / dotPeriod * dotPeriod);
    y1 = std::min(y1, area->bottom() + 1);
  } else if (area && y0 == y1 && x0 < x1) {
    if (y0 < area->top() || y0 > area->bottom() || x1 <= area->left() || x0 > area->right())
      return;
    const long long skip = std::max(0LL, static_cast<long long>(area->left()) - x0);
    x0 += static_cast<int>(skip / dotPeriod * dotPeriod);
    x1 = std::min(x1, area->right() + 1);
  }
  g.MoveTo(x0, y0);
  g.LineTo(x1, y1);
}

// Glyphs may reach a little beyond the white box of their label.
constexpr int labelOverhang = 4;

// A grid label as drawGridOn draws it: the white box filled (FillRect's corners) and the text
// written at `at`.
struct GridLabel {
  int l, t, r, b;
  QPoint at;
  QString text;

  bool meets(const QRect &area) const {
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1))
        .adjusted(-labelOverhang, -labelOverhang, labelOverhang, labelOverhang)
        .intersects(area);
  }
};

// The labels of the grid in drawing order, measured in the font the canvas holds.
std::vector<GridLabel> gridLabels(TTarvikCanvas &c, GdiCanvas &g, const GridPlan &plan) {
  std::vector<GridLabel> out;
  const int width = c.width();
  const int height = c.height();
  int sx = 0, sy = 0;
  for (double x : plan.xs) {
    c.WorldToScreen(x, c.WorldBottom, sx, sy);
    if (!(sx > 4 && sx <= width - 50))
      continue;
    QString text = label(x, plan.stepX);
    const QSize size = labelExtent(g, text);
    const int half = size.width() / 2;
    out.push_back(GridLabel{sx - half - 2, height - size.height() - 4, sx + half + 2, height - 2,
                            QPoint(sx - half, height - size.height() - 3), std::move(text)});
  }
  for (double y : plan.ys) {
    c.WorldToScreen(c.WorldLeft, y, sx, sy);
    if (!(sy > 14 && sy <= height - 20))
      continue;
    QString text = label(y, plan.stepY);
    const QSize size = labelExtent(g, text);
    const int half = size.height() / 2;
    out.push_back(GridLabel{2, sy - half - 1, size.width() + 6, sy + half + 1, QPoint(4, sy - half),
                            std::move(text)});
  }
  return out;
}

// The grid's lines, labels and axes in the order of a full redraw; with an area, only what may
// put pixels there (the canvas is clipped to it by the caller). The labels are measured already,
// in the label font.
void drawGridPart(TTarvikCanvas &c, GdiCanvas &g, const GridPlan &plan,
                  const std::vector<GridLabel> &labels, const QRect *area) {
  const int width = c.width();
  const int height = c.height();

  g.Pen.Color = c.GridColor;
  g.Pen.Width = 1;
  g.Pen.Style = psDot;
  const DotOrigin origin = dotOrigin(
      canvas::ViewMapping(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, width, height));
  int sx = 0, sy = 0, ex = 0, ey = 0;
  for (double x : plan.xs) {
    c.WorldToScreen(x, c.WorldTop, sx, sy);
    c.WorldToScreen(x, c.WorldBottom, ex, ey);
    gridLine(g, sx, sy, ex, ey, area, origin);
  }
  for (double y : plan.ys) {
    c.WorldToScreen(c.WorldLeft, y, sx, sy);
    c.WorldToScreen(c.WorldRight, y, ex, ey);
    gridLine(g, sx, sy, ex, ey, area, origin);
  }

  g.Pen.Style = psSolid;
  setLabelFont(g);
  g.Brush.Color = clWhite;
  g.Brush.Style = bsSolid;
  for (const GridLabel &l : labels) {
    if (area && !l.meets(*area))
      continue;
    g.FillRect(l.l, l.t, l.r, l.b);
    g.TextOut(l.at.x(), l.at.y(), l.text);
  }

  if (c.WorldLeft < 0.0 && 0.0 < c.WorldRight && c.WorldBottom < 0.0 && 0.0 < c.WorldTop) {
    int ox = 0, oy = 0;
    c.WorldToScreen(0.0, 0.0, ox, oy);
    g.Pen.Color = clRed;
    g.Pen.Width = 1;
    g.Pen.Style = psSolid;
    g.MoveTo(0, oy);
    g.LineTo(width, oy);
    g.MoveTo(ox, 0);
    g.LineTo(ox, height);
  }
  g.Brush.Style = bsClear;
}

} // namespace

void canvas::drawGridOn(TTarvikCanvas &c, GdiCanvas &g, const QRegion *within) {
  const GridPlan plan = gridPlan(c, currentViewFrame(c));
  if (!plan.shown)
    return;
  const auto pen = g.Pen;
  const auto brush = g.Brush;
  setLabelFont(g);
  if (!within) {
    drawGridPart(c, g, plan, gridLabels(c, g, plan), nullptr);
    return;
  }
  if (within->isEmpty())
    return;
  // Labels stand in bands along the bottom and the left edge: a region away from both needs
  // none of them measured.
  const QRect around = within->boundingRect();
  const int band = 4 * std::max(g.TextHeight(QString()), 1) + 16;
  std::vector<GridLabel> labels;
  if (around.bottom() >= c.height() - band || around.left() <= 4 * band)
    labels = gridLabels(c, g, plan);
  g.Pen = pen;
  g.Brush = brush;
  // Lines are stepped only within the clip's pieces near them: one pass over the rectangle
  // around the region lays down the pixels a full redraw puts there.
  g.SetClipRegion(*within);
  drawGridPart(c, g, plan, labels, &around);
}

void TTarvikCanvas::DrawGrid() {
  if (BackBuffer.isNull())
    return;
  GdiCanvas g(BackBuffer);
  canvas::drawGridOn(*this, g);
}
