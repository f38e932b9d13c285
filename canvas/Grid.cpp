// The world grid of the back buffer: dotted lines at a chosen or automatic step, their labels
// along the bottom and left edges, and the red axes through the origin.
#include "canvas/PaintSupport.h"
#include "canvas/TarvikCanvas.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"

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

void platform::drawGridOn(TTarvikCanvas &c, GdiCanvas &g) {
  if (!c.GridVisible || !finiteView(c))
    return;
  const double ww = c.WorldRight - c.WorldLeft;
  const double wh = c.WorldTop - c.WorldBottom;
  if (!(ww > 0.0) || !(wh > 0.0))
    return;
  const int width = c.width();
  const int height = c.height();

  double stepX = 0.0;
  double stepY = 0.0;
  if (!c.GridAutoScale && usableStep(ww, c.GridSpacingX, width) &&
      usableStep(wh, c.GridSpacingY, height)) {
    stepX = c.GridSpacingX;
    stepY = c.GridSpacingY;
  } else {
    stepX = stepY = NiceGridStep(ww, 8);
    // The width's step serves both directions. A view far taller than the window's shape (a
    // drawing file's view is taken as it stands) would get more rows of lines than the window
    // has pixels, and the bounded walk would draw them only near the bottom: such a view takes
    // its y step from its height.
    if (!usableStep(wh, stepY, height))
      stepY = NiceGridStep(wh, 8);
  }
  const std::vector<double> xs = linePositions(c.WorldLeft, c.WorldRight, stepX, width);
  const std::vector<double> ys = linePositions(c.WorldBottom, c.WorldTop, stepY, height);

  g.Pen.Color = c.GridColor;
  g.Pen.Width = 1;
  g.Pen.Style = psDot;
  int sx = 0, sy = 0, ex = 0, ey = 0;
  for (double x : xs) {
    c.WorldToScreen(x, c.WorldTop, sx, sy);
    c.WorldToScreen(x, c.WorldBottom, ex, ey);
    g.MoveTo(sx, sy);
    g.LineTo(ex, ey);
  }
  for (double y : ys) {
    c.WorldToScreen(c.WorldLeft, y, sx, sy);
    c.WorldToScreen(c.WorldRight, y, ex, ey);
    g.MoveTo(sx, sy);
    g.LineTo(ex, ey);
  }

  g.Pen.Style = psSolid;
  g.Font.Name = QStringLiteral("Tahoma");
  g.Font.Size = 8;
  g.Font.Color = clBlack;
  g.Font.Bold = false;
  g.Font.Italic = false;
  g.Font.Orientation = 0;
  g.Brush.Color = clWhite;
  g.Brush.Style = bsSolid;
  for (double x : xs) {
    c.WorldToScreen(x, c.WorldBottom, sx, sy);
    if (!(sx > 4 && sx <= width - 50))
      continue;
    const QString text = label(x, stepX);
    const QSize size = g.TextExtent(text);
    const int half = size.width() / 2;
    g.FillRect(sx - half - 2, height - size.height() - 4, sx + half + 2, height - 2);
    g.TextOut(sx - half, height - size.height() - 3, text);
  }
  for (double y : ys) {
    c.WorldToScreen(c.WorldLeft, y, sx, sy);
    if (!(sy > 14 && sy <= height - 20))
      continue;
    const QString text = label(y, stepY);
    const QSize size = g.TextExtent(text);
    const int half = size.height() / 2;
    g.FillRect(2, sy - half - 1, size.width() + 6, sy + half + 1);
    g.TextOut(4, sy - half, text);
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

void TTarvikCanvas::DrawGrid() {
  if (BackBuffer.isNull())
    return;
  GdiCanvas g(BackBuffer);
  platform::drawGridOn(*this, g);
}
